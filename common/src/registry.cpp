#include "fx/registry.h"

#include "fx/handles.h"

#include <cstring>

namespace fx {

LONG ReadRegDword(HKEY root, const char* subkey, const char* value, LONG fallback) noexcept {
    UniqueRegKey key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return fallback;
    unsigned char bytes[4] = {};
    DWORD size = sizeof bytes;
    if (RegQueryValueExA(key.get(), value, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS) return fallback;
    DWORD v = 0;
    std::memcpy(&v, bytes, sizeof v);
    return static_cast<LONG>(v);
}

bool QueryText(HKEY key, const char* value, char* buf, size_t cap) noexcept {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(cap);
    if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        buf[0] = '\0';
        return false;
    }
    // Stored data need not end in a zero: mark the end inside the buffer.
    buf[size < cap ? size : cap - 1] = '\0';
    return true;
}

void ReadRegString(HKEY root, const char* subkey, const char* value, char* buf, size_t cap) noexcept {
    if (!buf || cap == 0) return;
    buf[0] = '\0';
    UniqueRegKey key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
    QueryText(key.get(), value, buf, cap);
}

bool WriteRegString(HKEY root, const char* subkey, const char* value, const char* text, bool erase) noexcept {
    UniqueRegKey key;
    if (RegCreateKeyExA(root, subkey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    if (erase) return RegDeleteValueA(key.get(), value) == ERROR_SUCCESS;
    if (!text) text = "";
    return RegSetValueExA(key.get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

bool WriteRegDword(HKEY root, const char* subkey, const char* value, LONG number) noexcept {
    UniqueRegKey key;
    if (RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    DWORD v = static_cast<DWORD>(number);
    return RegSetValueExA(key.get(), value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
           ERROR_SUCCESS;
}

}  // namespace fx
