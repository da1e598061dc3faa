#pragma once

#include "error_report.h"

#include <string>

namespace pelmora {

/// The description of `error` in Simplified Chinese, as the window shows it after "ErrorInfo:".
/// A failure of one of the three tables names the table, what is wrong with it (missing,
/// unreadable, cut short, damaged as TableDamage says, a damaged record pair named with both its
/// files, and the record at fault)
/// and where the tables belong: the program's folder, named in full on a line of its own. When
/// none of the tables is there and the folder is a temporary one, the program was most likely
/// opened inside its zip, and the description says to extract the whole zip first (this looks
/// at the folder). Another file is named after the description, with its record if any; a
/// failure of no file keeps its detail. A number without a Chinese wording keeps its English
/// description.
std::string ChineseErrorDescription(const ErrorInfo& error);

} // namespace pelmora
