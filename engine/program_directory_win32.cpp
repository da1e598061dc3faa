#include "program_directory.h"

#include <string>
#include <vector>

#include <windows.h>

namespace pelmora {

std::filesystem::path ProgramDirectory() {
    // Wide all the way: a folder such as C:\Users\张三\下载 has no spelling in the ANSI code
    // page of a Western system, and GetModuleFileNameA would turn it into question marks.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace pelmora
