// Shell_NotifyIcon as it reaches the taskbar under Wine: WM_COPYDATA whose dwData is
// the NIM_* action and whose data is shell32's process-independent record,
// followed by the icon's mask and colour bits when NIF_ICON is set.
#pragma once
#include <windows.h>
#include <string>

#include "fx/handles.h"

namespace testshell {

struct WineNotifyData {
    LONG hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    WCHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    WCHAR szInfo[256];
    UINT uTimeoutOrVersion;
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    UINT width;
    UINT height;
    UINT planes;
    UINT bpp;
};
static_assert(sizeof(WineNotifyData) == 960, "shell32 sends exactly this record");

struct TrayRequest {
    DWORD action = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
    HWND owner = nullptr;
    UINT id = 0;
    UINT flags = 0;     // NIF_* fields that are valid below
    UINT callback = 0;
    std::wstring tip;
    DWORD state = 0;
    DWORD stateMask = 0;
    fx::UniqueIcon icon;  // set when NIF_ICON came with bits
};

// Sizes of the bitmap blocks that follow the record.
size_t MaskBytes(UINT width, UINT height) noexcept;
size_t ColourBytes(UINT width, UINT height, UINT planes, UINT bpp) noexcept;

// False when the data is not a notify-icon request or is cut short.
bool ParseTrayCopyData(const COPYDATASTRUCT& cds, TrayRequest& out);

}  // namespace testshell
