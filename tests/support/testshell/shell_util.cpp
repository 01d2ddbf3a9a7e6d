#include "shell_util.h"

namespace testshell {

std::wstring PathOf(PCIDLIST_ABSOLUTE pidl) {
    wchar_t path[MAX_PATH];
    if (pidl && SHGetPathFromIDListW(pidl, path)) return path;
    return {};
}

std::wstring FolderTitle(PCIDLIST_ABSOLUTE pidl) {
    std::wstring path = PathOf(pidl);
    if (!path.empty()) return path;
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return info.szDisplayName;
    return L"Folder";
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

}  // namespace testshell
