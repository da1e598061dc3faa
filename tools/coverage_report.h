#pragma once

#include "table_records.h"

#include <string>
#include <vector>

namespace pelmora::tables {

// Counts and lists that say how much of code page 936 the tables cover, as Markdown.
std::string CoverageReport(const std::vector<DesktopKey>& keys,
                           const std::vector<TableRecord>& records, const JapaneseChooser& chooser);

} // namespace pelmora::tables
