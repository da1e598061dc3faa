#include "error_report.h"

#include "runtime_error.h"

#include <exception>
#include <new>

namespace pelmora {

std::string FormatErrorText(const ErrorInfo& error) {
    return "ErrorNo:" + std::to_string(error.number) + "\r\nErrorInfo:" + error.description;
}

void ShowErrorReport(ErrorReport& report, std::string_view title, const ErrorInfo& error) {
    if (error.number != 0) {
        report.Show(title, FormatErrorText({error.number, report.Describe(error), error.fileName}));
    }
}

namespace {

ErrorInfo CurrentExceptionInfo() {
    try {
        throw;
    } catch (const RuntimeError& error) {
        return {error.Number(), error.what(), error.FileName()};
    } catch (const std::bad_alloc&) {
        return {static_cast<int>(ErrorNumber::OutOfMemory),
                StandardDescription(ErrorNumber::OutOfMemory),
                {}};
    } catch (const std::exception& error) {
        return {static_cast<int>(ErrorNumber::InternalError),
                StandardDescription(ErrorNumber::InternalError) + ": " + error.what(),
                {}};
    } catch (...) {
        return {static_cast<int>(ErrorNumber::InternalError),
                StandardDescription(ErrorNumber::InternalError),
                {}};
    }
}

} // namespace

void ReportCurrentException(ErrorReport& report, std::string_view title) {
    try {
        ShowErrorReport(report, title, CurrentExceptionInfo());
    } catch (...) {
        // A report that cannot be shown must not take the program down with it.
    }
}

} // namespace pelmora
