#include "error_report.h"

#include <exception>
#include <new>

namespace pelmora {

std::string FormatErrorText(int number, std::string_view description) {
    return "ErrorNo:" + std::to_string(number) + "\r\nErrorInfo:" + std::string(description);
}

void ShowErrorReport(ErrorReport& report, std::string_view title, const ErrorInfo& error) {
    if (error.number != 0) {
        report.Show(title, FormatErrorText(error.number, report.Describe(error)));
    }
}

namespace {

ErrorInfo CurrentExceptionInfo() {
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error.Facts();
    } catch (const std::bad_alloc&) {
        return ErrorInfo(static_cast<int>(ErrorNumber::OutOfMemory));
    } catch (const std::exception& error) {
        ErrorInfo internal(static_cast<int>(ErrorNumber::InternalError));
        internal.detail = error.what();
        return internal;
    } catch (...) {
        return ErrorInfo(static_cast<int>(ErrorNumber::InternalError));
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
