#include "tray_message.h"

#include <shellapi.h>

namespace testshell {

size_t MaskBytes(UINT width, UINT height) noexcept {
    return ColourBytes(width, height, 1, 1);
}

size_t ColourBytes(UINT width, UINT height, UINT planes, UINT bpp) noexcept {
    // shell32 rounds the whole block, not each row, up to a whole word.
    return (static_cast<size_t>(planes) * width * height * bpp + 15) / 16 * 2;
}

bool ParseTrayCopyData(const COPYDATASTRUCT& cds, TrayRequest& out) {
    if (cds.dwData > NIM_SETVERSION || cds.cbData < sizeof(WineNotifyData) || !cds.lpData) return false;
    const auto& data = *static_cast<const WineNotifyData*>(cds.lpData);
    out.action = static_cast<DWORD>(cds.dwData);
    out.owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(data.hWnd));
    out.id = data.uID;
    out.flags = data.uFlags;
    out.callback = data.uCallbackMessage;
    out.tip.assign(data.szTip, wcsnlen(data.szTip, 128));
    out.state = data.dwState;
    out.stateMask = data.dwStateMask;
    out.icon.reset();
    if ((data.uFlags & NIF_ICON) && cds.cbData > sizeof data) {
        size_t mask = MaskBytes(data.width, data.height);
        size_t colour = ColourBytes(data.width, data.height, data.planes, data.bpp);
        if (data.width == 0 || data.height == 0 || data.width > 256 || data.height > 256) return false;
        if (cds.cbData < sizeof data + mask + colour) return false;
        auto bits = static_cast<const BYTE*>(cds.lpData) + sizeof data;
        out.icon.reset(CreateIcon(nullptr, data.width, data.height, static_cast<BYTE>(data.planes),
                                  static_cast<BYTE>(data.bpp), bits, bits + mask));
    }
    return true;
}

}  // namespace testshell
