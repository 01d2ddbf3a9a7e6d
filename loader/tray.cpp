#include "tray.h"

#include "fx/handles.h"
#include "fx/names.h"
#include "fx/text.h"
#include "loader_texts.h"
#include "texts.h"

#include <shellapi.h>

namespace loader {

void BuildTrayTip(const char* userName, char* tip, size_t cap) noexcept {
    if (userName && userName[0]) {
        fx::CopyText(tip, cap, LookUpText(kTipPrefix));
        fx::AppendText(tip, cap, " ");
        fx::AppendText(tip, cap, userName);
    } else {
        fx::CopyText(tip, cap, LookUpText(kTipNoUser));
    }
    CutText(tip, 63);
}

bool AddTrayIcon(HWND owner, HINSTANCE instance, const char* userName) noexcept {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = owner;
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = fx::FXLM_TRAY_NOTIFY;
    fx::UniqueIcon icon(static_cast<HICON>(LoadImageA(instance, "DOITICON", IMAGE_ICON, 16, 16, 0)));
    nid.hIcon = icon.get();
    BuildTrayTip(userName, nid.szTip, sizeof nid.szTip);
    return Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

void DeleteTrayIcon(HWND owner) noexcept {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = owner;
    nid.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &nid);
}

}  // namespace loader
