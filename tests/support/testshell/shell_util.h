// Small shell helpers: owned ID lists and text conversion.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include <string>

namespace testshell {

struct PidlDeleter {
    void operator()(ITEMIDLIST* p) const noexcept { CoTaskMemFree(p); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlDeleter>;

inline UniquePidl ClonePidl(PCIDLIST_ABSOLUTE pidl) { return UniquePidl(ILClone(pidl)); }

// Parsing name of a folder (its full path for file-system folders), or its display
// name for virtual ones such as My Computer.
std::wstring FolderTitle(PCIDLIST_ABSOLUTE pidl);

// A file-system path from an ID list; empty for virtual folders.
std::wstring PathOf(PCIDLIST_ABSOLUTE pidl);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace testshell
