#pragma once

#include "runtime_error.h"

#include <string>
#include <string_view>

namespace pelmora {

/// Titles of the error report, one per routine that has its own error trap.
inline constexpr std::string_view kFormLoadErrorTitle = "Error in FormLoad";
inline constexpr std::string_view kConversionErrorTitle = "Error in Command1Click";
inline constexpr std::string_view kObtainErrorTitle = "Error in Obtain";

/// The one way a failure is shown. The window shows a modal message box, the command line
/// writes to standard error, tests record what was shown.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    /// Shows one report; `text` is already formatted by FormatErrorText.
    virtual void Show(std::string_view title, std::string_view text) = 0;
    /// The description that follows "ErrorInfo:": the runtime's English wording by default; a
    /// front end may word the facts in its users' language.
    virtual std::string Describe(const ErrorInfo& error) const { return EnglishDescription(error); }
};

/// "ErrorNo:" number CR LF "ErrorInfo:" description.
std::string FormatErrorText(int number, std::string_view description);

/// Shows the report for `error` under `title`, described by `report`, unless its number is 0.
void ShowErrorReport(ErrorReport& report, std::string_view title, const ErrorInfo& error);

/// The trap of a routine: turns whatever escaped it (our own runtime errors, exhausted memory,
/// anything else) into a report under `title`. Call it from inside a catch block only.
void ReportCurrentException(ErrorReport& report, std::string_view title);

} // namespace pelmora
