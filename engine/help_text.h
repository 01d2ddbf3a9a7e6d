// Help texts: one line per shell item in section "ExHook" of the strings file, keyed
// by the item's label (desktop) or by folder part, backslash and label (folders).
#pragma once
#include <windows.h>
#include <cstddef>

namespace engine {

inline constexpr char kHelpSection[] = "ExHook";
// Keys travel through the shared bubble text, so they are bounded by it.
inline constexpr size_t kHelpKeySize = 264;
// Texts are at most 259 characters.
inline constexpr size_t kHelpTextSize = 260;

// The folder part of a folder window's title: the drive letter of a drive root
// ("C:\") or of a title that ends with the drive in brackets ("Disk (C:)"), the last
// component of a full path, or else the whole title. Double-byte characters of the
// code page are kept whole, so a trail byte that looks like a backslash splits
// nothing. The result is cut to cap.
void FolderPartOfTitle(const char* title, char* out, size_t cap, UINT codePage = CP_ACP) noexcept;

// The key of an item of a folder window: folder part, backslash, label.
void FolderHelpKey(const char* title, const char* label, char* out, size_t cap, UINT codePage = CP_ACP) noexcept;

// Looks the key up in [ExHook] with the [ExHookDef] default and leaves the text in the
// shared bubble text. `key` may be the shared bubble text itself.
void LookUpHelpText(const char* key) noexcept;

// Reads [ExHook] `key` of `file`, or `fallback`, into out (at most 259 characters).
void ReadHelpText(const char* file, const char* key, const char* fallback, char* out, size_t cap) noexcept;

// Remembers the label of the first selected item of a list view of this process as
// the label before an in-place edit (empty when nothing is selected).
void NoteLabelBeforeEdit(HWND listView) noexcept;

// After an in-place rename in `view` (a "SHELLDLL_DefView"): moves the item's text
// from its old key to the key of newLabel. The label's address may come from another
// process's hand-over; an address that cannot be read moves nothing.
void MoveHelpText(HWND view, const char* newLabel) noexcept;

// The rename itself, for the view's parent titled `viewTitle`: the desktop ("Program
// Manager", any case) keys by the bare label, any other window by its whole title, a
// backslash and the label. False when the old key had no text (nothing moves).
bool MoveHelpTextInFile(const char* file, const char* viewTitle, const char* oldLabel, const char* newLabel) noexcept;

// Copies a zero-terminated text from an address that may not be readable; false
// (and an empty result) when it is not. The result is cut to cap.
bool CopyTextFromAddress(const void* address, char* out, size_t cap) noexcept;

// Per process: the label of the item whose in-place edit began last.
extern char g_labelBeforeEdit[260];

}  // namespace engine
