// "Folder List": one shell shortcut per folder the user picked for editing help
// texts, named after the folder, in the engine's directory.
#pragma once
#include <windows.h>
#include <shtypes.h>

namespace engine {

inline constexpr char kFolderListDir[] = "Folder List\\";

// Saves a shortcut to `folder` as "Folder List\<name>.lnk", replacing any earlier one.
// A name that would leave the directory (a path separator, a colon, "." or "..") or
// does not fit a path is refused. Returns the outcome of the failing step, or of
// the save.
HRESULT SaveFolderShortcut(const char* name, PCIDLIST_ABSOLUTE folder) noexcept;

// The folder of "Folder List\<name>.lnk", resolved without user interface to its
// best match; null unless the resolution fully succeeded. The caller frees the list
// with CoTaskMemFree.
PIDLIST_ABSOLUTE LoadFolderShortcut(HWND owner, const char* name) noexcept;

// The shortcut's path beside `module`; false for a refused name or a path too long.
bool FolderShortcutPath(HMODULE module, const char* name, char* out, size_t cap) noexcept;

}  // namespace engine
