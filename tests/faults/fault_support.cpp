#include "fault_support.h"

namespace pelmora::faults {

std::string AllReports(const testing::RecordingReport& report) {
    std::string all;
    for (const auto& entry : report.Entries()) {
        all += entry.title + "|" + entry.text + "\n";
    }
    return all;
}

} // namespace pelmora::faults
