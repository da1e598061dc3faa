#include "temporary_folder.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include <windows.h>

namespace pelmora {

namespace {

// A path the system gives may use short 8.3 names (C:\Users\ZHANGS~1\...): compared in their
// long form, as GetModuleFileNameW names the program's folder.
std::filesystem::path LongForm(const std::filesystem::path& path) {
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) {
        return path.lexically_normal();
    }
    std::wstring buffer(size, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), buffer.data(), size);
    buffer.resize(length < size ? length : 0);
    return std::filesystem::path(buffer.empty() ? path.native() : buffer).lexically_normal();
}

std::filesystem::path WithoutTrailingSeparator(const std::filesystem::path& path) {
    return path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
}

// File names on Windows match whatever their case.
bool SameName(const std::filesystem::path& a, const std::filesystem::path& b) {
    const std::wstring& x = a.native();
    const std::wstring& y = b.native();
    return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                                static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

bool IsInside(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    const std::filesystem::path in = WithoutTrailingSeparator(inner);
    const std::filesystem::path out = WithoutTrailingSeparator(outer);
    return std::mismatch(out.begin(), out.end(), in.begin(), in.end(), SameName).first == out.end();
}

bool StartsWith(const std::wstring& name, const wchar_t* prefix) {
    const std::size_t length = std::wcslen(prefix);
    return name.size() > length &&
           CompareStringOrdinal(name.c_str(), static_cast<int>(length), prefix,
                                static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// The folders that archive programs extract an opened file into, inside the temporary folder
// normally, but named here too for systems whose temporary folder was moved: Explorer's
// "Temp1_pelmora-0.3.0-win64.zip", 7-Zip's "7zO1A2B3C4D" and WinRAR's "Rar$EXa1234.5678".
bool IsArchiveViewerFolder(const std::wstring& name) {
    if (StartsWith(name, L"Temp")) {
        const std::size_t digits = name.find_first_not_of(L"0123456789", 4);
        return digits > 4 && digits != std::wstring::npos && name[digits] == L'_';
    }
    if (StartsWith(name, L"7zO")) {
        return std::all_of(name.begin() + 3, name.end(),
                           [](wchar_t unit) { return std::iswxdigit(unit) != 0; });
    }
    return StartsWith(name, L"Rar$EX") || StartsWith(name, L"Rar$DI");
}

std::vector<std::filesystem::path> TemporaryRoots() {
    std::vector<std::filesystem::path> roots;
    wchar_t buffer[MAX_PATH + 1];
    const DWORD temporary = GetTempPathW(MAX_PATH + 1, buffer);
    if (temporary > 0 && temporary <= MAX_PATH) {
        roots.push_back(LongForm(std::wstring(buffer, temporary)));
    }
    // The system's own, where programs started by services and installers extract to.
    const UINT windows = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (windows > 0 && windows <= MAX_PATH) {
        roots.push_back(LongForm(std::filesystem::path(std::wstring(buffer, windows)) / L"Temp"));
    }
    return roots;
}

} // namespace

bool IsTemporaryFolder(const std::filesystem::path& folder) {
    if (folder.empty() || !folder.is_absolute()) {
        return false;
    }
    const std::filesystem::path inner = LongForm(folder);
    for (const std::filesystem::path& root : TemporaryRoots()) {
        if (IsInside(inner, root)) {
            return true;
        }
    }
    return std::any_of(inner.begin(), inner.end(), [](const std::filesystem::path& part) {
        return IsArchiveViewerFolder(part.native());
    });
}

} // namespace pelmora
