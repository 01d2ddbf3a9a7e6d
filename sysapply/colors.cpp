#include "sysapply/colors.h"

#include "sysapply/parse.h"

#include <fx/handles.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace sysapply {

// Read and set in this order.
const ColourName kColourNames[kColourCount] = {
    {"ActiveBorder", COLOR_ACTIVEBORDER},
    {"ActiveTitle", COLOR_ACTIVECAPTION},
    {"AppWorkspace", COLOR_APPWORKSPACE},
    {"Background", COLOR_BACKGROUND},
    {"ButtonDkShadow", COLOR_3DDKSHADOW},
    {"ButtonFace", COLOR_BTNFACE},
    {"ButtonHilight", COLOR_BTNHIGHLIGHT},
    {"ButtonLight", COLOR_3DLIGHT},
    {"ButtonShadow", COLOR_BTNSHADOW},
    {"ButtonText", COLOR_BTNTEXT},
    {"GrayText", COLOR_GRAYTEXT},
    {"Hilight", COLOR_HIGHLIGHT},
    {"HilightText", COLOR_HIGHLIGHTTEXT},
    {"InactiveBorder", COLOR_INACTIVEBORDER},
    {"InactiveTitle", COLOR_INACTIVECAPTION},
    {"InactiveTitleText", COLOR_INACTIVECAPTIONTEXT},
    {"InfoText", COLOR_INFOTEXT},
    {"InfoWindow", COLOR_INFOBK},
    {"Menu", COLOR_MENU},
    {"MenuText", COLOR_MENUTEXT},
    {"Scrollbar", COLOR_SCROLLBAR},
    {"TitleText", COLOR_CAPTIONTEXT},
    {"Window", COLOR_WINDOW},
    {"WindowFrame", COLOR_WINDOWFRAME},
    {"WindowText", COLOR_WINDOWTEXT},
};

void ReadColourText(HKEY key, const char* value, char* buf, size_t cap) noexcept {
    if (!buf || cap == 0) return;
    buf[0] = '\0';
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(cap);
    LONG rc = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    // Too long for the buffer: the registry leaves the buffer undefined, so fetch
    // the whole value and keep its beginning. Retry once if it grew meanwhile.
    for (int attempt = 0; rc == ERROR_MORE_DATA && attempt < 2; ++attempt) {
        std::unique_ptr<BYTE[]> whole(new (std::nothrow) BYTE[size]);
        if (!whole) break;
        DWORD got = size;
        rc = RegQueryValueExA(key, value, nullptr, &type, whole.get(), &got);
        if (rc == ERROR_SUCCESS) {
            size = static_cast<DWORD>(std::min<size_t>(got, cap - 1));
            std::memcpy(buf, whole.get(), size);
        } else {
            size = got;
        }
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        buf[0] = '\0';
        return;
    }
    // Stored data need not end in a zero: mark the end inside the buffer.
    buf[std::min<size_t>(size, cap - 1)] = '\0';
}

void ApplyRegistryColours() noexcept {
    fx::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kColoursKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return;
    INT indexes[kColourCount];
    COLORREF colours[kColourCount];
    for (size_t i = 0; i < kColourCount; ++i) {
        char text[kColourTextSize];
        ReadColourText(key.get(), kColourNames[i].value, text, sizeof text);
        indexes[i] = kColourNames[i].index;
        colours[i] = ParseColour(text);
    }
    SetSysColors(static_cast<int>(kColourCount), indexes, colours);
}

}  // namespace sysapply
