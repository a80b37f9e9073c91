// A simulated registry for the settings store's unit tests: keys with values
// of any type and size, keys a user may not create, write or open at all,
// writes that fail, the handles still open, and a log of every call made
// through the seam. Keys are named with their root: "HKLM\\Software\\...",
// "HKCU\\Software\\...". As on Windows, creating a key creates its missing
// parents too, with its own options, and a volatile key is marked so.
#pragma once

#include "settings/registry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace fakereg {

enum class Op { CreateKey, OpenKey, QueryValue, SetValue, DeleteValue, DeleteKey, CloseKey, EnumValue };

struct Call {
    Op op;
    std::string name;  // the key for CreateKey and OpenKey, the value otherwise; empty for CloseKey
    REGSAM access;     // CreateKey, OpenKey
    DWORD type;        // SetValue
    DWORD size;        // SetValue
    LSTATUS result;
};

struct Value {
    DWORD type;
    std::vector<BYTE> data;
};

// What the user may do with a key.
enum class Permission {
    Full,
    ReadOnly,  // opened for reading when it exists; never created, never opened for writing
    None,      // neither opened nor created
};

// Starts an empty registry with an empty log and full permissions.
void reset();

void createKey(const std::string& key);
bool keyExists(const std::string& key);
bool isVolatile(const std::string& key);
void setPermission(const std::string& key, Permission permission);
// Every RegSetValueExA of a value of this name fails, in the key given or,
// without one, in whatever key.
void failSetting(const std::string& valueName, const std::string& key = "");
// As for a standard user: every key under HKLM without a permission of its
// own is ReadOnly.
void refuseMachineWrites();

void setValue(const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& data);
void setDword(const std::string& key, const std::string& name, DWORD value);
// Null when the value does not exist.
const Value* value(const std::string& key, const std::string& name);
std::vector<std::string> valueNames(const std::string& key);

// Handles opened or created and not yet closed.
std::size_t openHandles();

const std::vector<Call>& log();
void clearLog();

}  // namespace fakereg
