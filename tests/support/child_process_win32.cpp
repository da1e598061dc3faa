#include "child_process.h"

#include "utf16.h"

#include <fstream>
#include <iterator>

#include <windows.h>

#include <psapi.h> // needs windows.h first

namespace pelmora::testing {

namespace {

// One argument quoted as the C runtime's command-line parser (and CommandLineToArgvW) reads
// it back: backslashes double only before a quote.
void AppendQuoted(const std::wstring& argument, std::wstring& line) {
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(character == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += character;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// A handle the child inherits, closed with its owner.
class InheritedHandle {
public:
    InheritedHandle() = default;
    explicit InheritedHandle(HANDLE handle)
        : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~InheritedHandle() {
        if (m_handle) {
            CloseHandle(m_handle);
        }
    }
    InheritedHandle(const InheritedHandle&) = delete;
    InheritedHandle& operator=(const InheritedHandle&) = delete;
    InheritedHandle& operator=(InheritedHandle&& other) noexcept {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

SECURITY_ATTRIBUTES Inheritable() {
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof attributes;
    attributes.bInheritHandle = TRUE;
    return attributes;
}

InheritedHandle OpenFile(const std::filesystem::path& path, bool write) {
    SECURITY_ATTRIBUTES attributes = Inheritable();
    return InheritedHandle(CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       &attributes, write ? CREATE_ALWAYS : OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

std::wstring WideFromUtf8(const std::string& utf8) {
    const std::u16string units = Utf16FromUtf8(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workDirectory,
                      const std::optional<std::filesystem::path>& inputFile, OutputTarget target) {
    const std::filesystem::path out = workDirectory / "child.out";
    const std::filesystem::path err = workDirectory / "child.err";
    std::filesystem::remove(out);
    ChildOutcome outcome;

    InheritedHandle input = inputFile ? OpenFile(*inputFile, false) : InheritedHandle();
    InheritedHandle output;
    switch (target) {
    case OutputTarget::File:
    case OutputTarget::LargeFile:
        output = OpenFile(out, true);
        break;
    case OutputTarget::Closed:
        break;
    case OutputTarget::DevFull:
        outcome.err = "no full device on this system";
        return outcome;
    case OutputTarget::BrokenPipe:
    case OutputTarget::BrokenPipeSignalIgnored: {
        // The reading end is gone before the child starts, so every write fails.
        SECURITY_ATTRIBUTES attributes = Inheritable();
        HANDLE reading = nullptr;
        HANDLE writing = nullptr;
        if (CreatePipe(&reading, &writing, &attributes, 0)) {
            CloseHandle(reading);
            output = InheritedHandle(writing);
        }
        break;
    }
    }
    InheritedHandle error = OpenFile(err, true);

    std::wstring line;
    AppendQuoted(WideFromUtf8(program), line);
    for (const std::string& argument : arguments) {
        line += L' ';
        AppendQuoted(WideFromUtf8(argument), line);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = error.Get();
    PROCESS_INFORMATION process{};
    const std::wstring application = WideFromUtf8(program);
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        outcome.err = "cannot start " + program;
        return outcome;
    }
    // The child holds its own copies; the pipe's writing end must close here for it to break.
    input = InheritedHandle();
    output = InheritedHandle();
    error = InheritedHandle();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    PROCESS_MEMORY_COUNTERS counters{};
    if (K32GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
        outcome.peakKibibytes = static_cast<long>(counters.PeakWorkingSetSize / 1024);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    outcome.exited = true;
    outcome.exitCode = static_cast<int>(exitCode);
    if (target == OutputTarget::File) {
        outcome.out = ReadWholeFile(out);
    }
    outcome.err = ReadWholeFile(err);
    return outcome;
}

} // namespace pelmora::testing
