// The registry seam: every advapi32 call the settings store makes, one
// function each, with the platform's names and answers. Arguments the store
// always passes as null or zero (reserved words, class, security attributes,
// disposition, the queried type) are left out; each function maps one to one
// onto its platform call. The program links platform/registry_win32.cpp, the
// unit tests a simulated registry.
#pragma once

#include "platform/win32.h"

namespace reg {

LSTATUS RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key);
LSTATUS RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key);
LSTATUS RegQueryValueExA(HKEY key, const char* name, BYTE* data, DWORD* size);
// The same query answering the type too, and a key's deletion: the record of
// parked windows (desktops/) needs both.
LSTATUS RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegDeleteValueA(HKEY key, const char* name);
LSTATUS RegDeleteKeyA(HKEY root, const char* subKey);
LSTATUS RegCloseKey(HKEY key);
// The window rules are every value of their key: the index-th value's name
// and data, in no order the platform promises; ERROR_NO_MORE_ITEMS past the
// last, ERROR_MORE_DATA where the name or the data does not fit.
LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                      DWORD* dataSize);

}  // namespace reg
