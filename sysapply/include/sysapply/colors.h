// System colours stored as "R G B" texts under HKCU "Control Panel\Colors".
#pragma once
#include <windows.h>
#include <cstddef>

namespace sysapply {

struct ColourName {
    const char* value;  // registry value name
    int index;          // COLOR_* index
};

inline constexpr size_t kColourCount = 25;
extern const ColourName kColourNames[kColourCount];

inline constexpr char kColoursKey[] = "Control Panel\\Colors";
inline constexpr size_t kColourTextSize = 260;

// Reads a colour text of an open key into buf (cap bytes), always terminated
// inside buf. A value too long for buf is read by its beginning; a missing or
// non-text value gives an empty text.
void ReadColourText(HKEY key, const char* value, char* buf, size_t cap) noexcept;

// Reads all 25 colours and sets them in one call; does nothing without the key.
void ApplyRegistryColours() noexcept;

}  // namespace sysapply
