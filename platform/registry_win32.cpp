// The Win32 side of the registry seam: one forwarder per call, passing null
// for what the seam leaves out.
#include "settings/registry.h"

namespace reg {

LSTATUS RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
    return ::RegCreateKeyExA(root, subKey, 0, nullptr, options, access, nullptr, key, nullptr);
}
LSTATUS RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
    return ::RegOpenKeyExA(root, subKey, options, access, key);
}
LSTATUS RegQueryValueExA(HKEY key, const char* name, BYTE* data, DWORD* size) {
    return ::RegQueryValueExA(key, name, nullptr, nullptr, data, size);
}
LSTATUS RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return ::RegQueryValueExA(key, name, nullptr, type, data, size);
}
LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExA(key, name, 0, type, data, size);
}
LSTATUS RegDeleteValueA(HKEY key, const char* name) { return ::RegDeleteValueA(key, name); }
LSTATUS RegDeleteKeyA(HKEY root, const char* subKey) { return ::RegDeleteKeyA(root, subKey); }
LSTATUS RegCloseKey(HKEY key) { return ::RegCloseKey(key); }
LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    return ::RegEnumValueA(key, index, name, nameSize, nullptr, type, data, dataSize);
}

}  // namespace reg
