#include "key_search.h"

#include "runtime_error.h"

#include <limits>

namespace pelmora {

namespace {

// Record-number arithmetic is 32-bit; a result outside it is an overflow, never a wrap-round.
RecordNumber CheckedAdd(RecordNumber a, RecordNumber b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    if (sum < std::numeric_limits<RecordNumber>::min() ||
        sum > std::numeric_limits<RecordNumber>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<RecordNumber>(sum);
}

RecordNumber UpperMiddle(RecordNumber low, RecordNumber high) {
    const RecordNumber span = CheckedAdd(CheckedAdd(high, -low), 1);
    return CheckedAdd(low, span / 2);
}

RecordNumber SearchKeys(CharCode wanted, RecordNumber keyCount, std::int32_t fileNumber,
                        TableSet& tables) {
    RecordNumber low = 1;
    RecordNumber high = keyCount;
    while (low <= high) {
        const RecordNumber mid = UpperMiddle(low, high);
        const CharCode probed = RecordCode(tables.ReadRecord(fileNumber, mid));
        if (wanted == probed) {
            return mid;
        }
        if (wanted < probed) {
            high = CheckedAdd(mid, -1);
        } else {
            low = CheckedAdd(mid, 1);
        }
    }
    return 0;
}

} // namespace

RecordNumber Obtain(char32_t character, std::int32_t fileNumber, TableSet& tables,
                    ErrorReport& report) {
    try {
        const RecordNumber keyCount = KeyRecordCount(tables.KeyFileLength());
        if (character == U' ') {
            return CheckedAdd(keyCount, 1);
        }
        const std::optional<CharCode> wanted = CharCodeOf(character);
        if (!wanted) {
            return 0; // the tables cannot hold what the code page cannot represent
        }
        return SearchKeys(*wanted, keyCount, fileNumber, tables);
    } catch (...) {
        ReportCurrentException(report, kObtainErrorTitle);
        return 0;
    }
}

} // namespace pelmora
