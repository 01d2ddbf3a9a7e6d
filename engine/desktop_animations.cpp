#include "desktop_animations.h"

#include <commctrl.h>

#include "engine_shared.h"
#include "engine_state.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "fx/shell_windows.h"
#include "fx/text.h"
#include "player.h"

namespace engine {
namespace {

constexpr int kMaxDesktopAnimations = 50;
constexpr size_t kLabelSize = 260;
// After an in-place rename, how long the item may still show its old label before
// we take it that the shell refused the new one.
constexpr DWORD kRenameSettleMs = 1000;

// One animated desktop item. The item is always found again by its label: indexes
// change whenever the desktop adds, removes or sorts items.
struct DesktopAniSlot {
    int itemIndex = -1;  // as of the last paint or command
    int player = 0;      // 0: the slot is free
    RECT iconRect{};     // the item's icon rectangle where the animation was last placed
    int savedImage = 0;  // the item's own image, given back when the animation stops
    char label[kLabelSize] = "";
    // The label before an in-place rename, until the list view shows the new one: a
    // rename the shell refused is undone with it instead of losing the animation.
    char renamedFrom[kLabelSize] = "";
    DWORD renamedAt = 0;
};

// The slots in use are the first g_desktopAniCount; removing one moves the last into
// the hole.
DesktopAniSlot g_desktopAnis[kMaxDesktopAnimations];
int g_desktopAniCount = 0;

HWND DesktopList() noexcept { return fx::FindDesktopListView(g_shared.g_desktopWindow); }

int FindItem(HWND list, const char* label) noexcept {
    if (!list || !label || !*label) return -1;
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;  // the whole label, without regard to case
    find.psz = label;
    return int(SendMessageA(list, LVM_FINDITEMA, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

void ItemLabel(HWND list, int item, char (&label)[kLabelSize]) noexcept {
    label[0] = '\0';
    LVITEMA it{};
    it.pszText = label;
    it.cchTextMax = int(kLabelSize);
    SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    label[kLabelSize - 1] = '\0';
}

int ItemImage(HWND list, int item) noexcept {
    LVITEMA it{};
    it.mask = LVIF_IMAGE;
    it.iItem = item;
    return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)) ? it.iImage : I_IMAGENONE;
}

void SetItemImage(HWND list, int item, int image) noexcept {
    LVITEMA it{};
    it.mask = LVIF_IMAGE;
    it.iItem = item;
    it.iImage = image;
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

bool IconRect(HWND list, int item, RECT* rect) noexcept {
    *rect = RECT{LVIR_ICON, 0, 0, 0};
    return SendMessageA(list, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(rect)) != 0;
}

bool SameLabel(const char* a, const char* b) noexcept { return lstrcmpiA(a, b) == 0; }

int SlotOfLabel(const char* label) noexcept {
    for (int i = 0; i < g_desktopAniCount; ++i)
        if (SameLabel(g_desktopAnis[i].label, label)) return i;
    return -1;
}

void RemoveSlot(int at) noexcept {
    --g_desktopAniCount;
    if (at != g_desktopAniCount) g_desktopAnis[at] = g_desktopAnis[g_desktopAniCount];
    g_desktopAnis[g_desktopAniCount] = DesktopAniSlot{};
}

// Stops the slot's player and gives its item (found by label) its own image back.
void StopSlot(HWND list, DesktopAniSlot& slot) noexcept {
    StopPlayer(slot.player);
    int item = FindItem(list, slot.label);
    if (item >= 0) SetItemImage(list, item, slot.savedImage);
}

// The item was given an image again (a refresh of the desktop): keep that one as its
// own and hide it once more.
void HideItemImage(HWND list, DesktopAniSlot& slot) noexcept {
    int image = ItemImage(list, slot.itemIndex);
    if (image == I_IMAGENONE) return;
    slot.savedImage = image;
    SetItemImage(list, slot.itemIndex, I_IMAGENONE);
}

void MoveAnimationsValue(const char* from, const char* to) noexcept {
    char path[fx::kRegTextSize];
    fx::ReadRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, from, path);
    if (!path[0]) return;
    fx::WriteRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, from, nullptr, true);
    fx::WriteRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, to, path, false);
}

void MovePlayerTo(const DesktopAniSlot& slot) noexcept {
    POINT at = AnimationOrigin(slot.iconRect, iconSize);
    MovePlayer(slot.player, at.x, at.y);
}

// Finds the slot's item again; false when it is gone from the desktop.
bool FindSlotItem(HWND list, DesktopAniSlot& slot) noexcept {
    slot.itemIndex = FindItem(list, slot.label);
    if (slot.itemIndex >= 0) {
        slot.renamedFrom[0] = '\0';
        return true;
    }
    if (!slot.renamedFrom[0]) return false;
    // Renamed in place, and the item still shows its old label.
    slot.itemIndex = FindItem(list, slot.renamedFrom);
    if (slot.itemIndex < 0) return false;
    if (GetTickCount() - slot.renamedAt >= kRenameSettleMs) {
        MoveAnimationsValue(slot.label, slot.renamedFrom);
        fx::CopyText(slot.label, slot.renamedFrom);
        slot.renamedFrom[0] = '\0';
    }
    return true;
}

void RenameDesktopAnimation(HWND list, int item, const char* newLabel) noexcept {
    if (!newLabel || !*newLabel || g_desktopAniCount < 1) return;
    char current[kLabelSize];
    ItemLabel(list, item, current);
    int at = SlotOfLabel(current);
    if (at < 0) return;
    DesktopAniSlot& slot = g_desktopAnis[at];
    if (lstrcmpA(slot.label, newLabel) == 0) return;
    MoveAnimationsValue(slot.label, newLabel);
    fx::CopyText(slot.renamedFrom, slot.label);
    fx::CopyText(slot.label, newLabel);
    slot.renamedAt = GetTickCount();
}

}  // namespace

POINT AnimationOrigin(const RECT& iconRect, int side) noexcept {
    LONG width = iconRect.right - iconRect.left, height = iconRect.bottom - iconRect.top;
    return {iconRect.left + (width > side ? (width - side) / 2 : 0),
            iconRect.top + (height > side ? (height - side) / 2 : 0)};
}

int StartDesktopAnimation(const char* label, const char* aniFile) noexcept {
    HWND list = DesktopList();
    int item = FindItem(list, label);
    if (item < 0) return 0;

    int at = SlotOfLabel(label);
    const bool restart = at >= 0;
    if (restart) {
        StopPlayer(g_desktopAnis[at].player);
        SetItemImage(list, item, g_desktopAnis[at].savedImage);
    } else {
        if (g_desktopAniCount >= kMaxDesktopAnimations) return 0;
        at = g_desktopAniCount;
    }

    DesktopAniSlot slot;
    slot.itemIndex = item;
    slot.savedImage = ItemImage(list, item);
    fx::CopyText(slot.label, label);
    if (!IconRect(list, item, &slot.iconRect)) {
        if (restart) RemoveSlot(at);
        return 0;
    }
    POINT origin = AnimationOrigin(slot.iconRect, iconSize);
    slot.player = StartPlayer(list, origin.x, origin.y, aniFile, iconSize);
    if (!slot.player) {
        if (restart) RemoveSlot(at);  // the item keeps its own image
        return 0;
    }
    g_desktopAnis[at] = slot;
    if (!restart) ++g_desktopAniCount;
    SetItemImage(list, item, I_IMAGENONE);
    InvalidateRect(list, &slot.iconRect, TRUE);
    return 1;
}

int StopDesktopAnimation(const char* label) noexcept {
    int at = label ? SlotOfLabel(label) : -1;
    if (at < 0) return 1;
    HWND list = DesktopList();
    StopSlot(list, g_desktopAnis[at]);
    if (list) InvalidateRect(list, nullptr, TRUE);
    RemoveSlot(at);
    return 1;
}

void StopAllDesktopAnimations() noexcept {
    HWND list = DesktopList();
    for (int i = 0; i < g_desktopAniCount; ++i) {
        StopSlot(list, g_desktopAnis[i]);
        g_desktopAnis[i] = DesktopAniSlot{};
    }
    g_desktopAniCount = 0;
}

void TrackDesktopAnimations(HWND list) noexcept {
    RECT update{};
    GetUpdateRect(list, &update, FALSE);
    if (g_desktopAniCount < 1) return;
    // An empty desktop is one being filled again (a refresh): nothing is gone yet.
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) <= 0) return;

    for (int i = 0; i < g_desktopAniCount;) {
        DesktopAniSlot& slot = g_desktopAnis[i];
        if (!FindSlotItem(list, slot)) {
            // Deleted, or renamed other than in place: the animation and its value go.
            StopPlayer(slot.player);
            fx::WriteRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, slot.label, nullptr, true);
            RemoveSlot(i);  // the last slot moved into position i: look at it next
            continue;
        }
        RECT now;
        if (IconRect(list, slot.itemIndex, &now)) {
            if (now.left == slot.iconRect.left && now.top == slot.iconRect.top) {
                RECT overlap;
                if (IntersectRect(&overlap, &now, &update)) {
                    HideItemImage(list, slot);
                    // The list view is about to paint over the frame: the player
                    // captures the new background and draws again.
                    if (!PlayerRecapturePending(slot.player)) MovePlayerTo(slot);
                }
            } else {
                HideItemImage(list, slot);
                InvalidateRect(list, &slot.iconRect, TRUE);
                InvalidateRect(list, &now, TRUE);
                slot.iconRect = now;
                MovePlayerTo(slot);
            }
        }
        ++i;
    }
}

void OnDesktopAnimationNotify(HWND view, LPARAM notify) noexcept {
    const auto* hdr = reinterpret_cast<const NMHDR*>(notify);
    if (!hdr || (hdr->code != LVN_ENDLABELEDITA && hdr->code != LVN_ENDLABELEDITW)) return;
    HWND list = hdr->hwndFrom;
    if (!list || GetParent(list) != view || list != FindWindowExA(view, nullptr, fx::kListViewClass, nullptr)) return;
    // The view subclass is a W procedure, so the list view may notify in either form.
    char label[kLabelSize];
    int item;
    if (hdr->code == LVN_ENDLABELEDITW) {
        const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(notify);
        if (!info->item.pszText) return;  // the edit was cancelled
        if (!WideCharToMultiByte(CP_ACP, 0, info->item.pszText, -1, label, int(sizeof label), nullptr, nullptr))
            return;
        item = info->item.iItem;
    } else {
        const auto* info = reinterpret_cast<const NMLVDISPINFOA*>(notify);
        if (!info->item.pszText) return;
        fx::CopyText(label, info->item.pszText);
        item = info->item.iItem;
    }
    RenameDesktopAnimation(list, item, label);
}

int DesktopItemPlayer(int itemIndex) noexcept {
    HWND list = DesktopList();
    if (!list || itemIndex < 0) return 0;
    char label[kLabelSize];
    ItemLabel(list, itemIndex, label);
    int at = SlotOfLabel(label);
    return at >= 0 ? g_desktopAnis[at].player : 0;
}

bool AnyPlayerSlotInUse() noexcept { return AnyPlayerInUse(); }

void RequestStopAllPlayers() noexcept { StopAllPlayers(); }

}  // namespace engine
