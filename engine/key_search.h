#pragma once

#include "char_tables.h"
#include "error_report.h"

namespace pelmora {

/// Finds `character` in the key table open under `fileNumber` by binary search.
///
/// Returns the key record number (1 to n) holding the character, 0 when no record holds it,
/// and n + 1 for the space " ", which is answered without reading the table. n is the length of
/// the key table by name, halved, taken afresh at each call. Equal keys: the first record the
/// upper-middle probe order reaches wins. Any failure shows "Error in Obtain" through `report`
/// and returns 0, so the caller treats the character as unmapped and goes on.
RecordNumber Obtain(char32_t character, std::int32_t fileNumber, TableSet& tables,
                    ErrorReport& report);

} // namespace pelmora
