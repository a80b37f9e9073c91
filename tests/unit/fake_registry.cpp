#include "fake_registry.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <utility>

namespace fakereg {
namespace {

constexpr REGSAM KeyCreateSubKey = 0x0004;
constexpr REGSAM WritingRights = KEY_SET_VALUE | KeyCreateSubKey;

struct Key {
    std::map<std::string, Value> values;
    bool isVolatile = false;
};

struct OpenKey {
    std::string path;
    REGSAM access;
};

struct Registry {
    std::map<std::string, Key> keys;
    std::map<std::string, Permission> permissions;
    std::vector<std::pair<std::string, std::string>> failingValues;  // value, key ("" for any)
    bool machineReadOnly = false;
    std::map<HKEY, OpenKey> handles;
    std::vector<Call> log;
    std::uintptr_t nextHandle = 0x5000;
};

Registry registry;

LSTATUS record(Op op, const std::string& name, LSTATUS result, REGSAM access = 0, DWORD type = 0, DWORD size = 0) {
    registry.log.push_back({op, name, access, type, size, result});
    return result;
}

Permission permissionOf(const std::string& key) {
    auto it = registry.permissions.find(key);
    if (it != registry.permissions.end()) return it->second;
    return registry.machineReadOnly && key.rfind("HKLM\\", 0) == 0 ? Permission::ReadOnly : Permission::Full;
}

// Only the roots the program uses are simulated.
bool pathOf(HKEY root, const char* subKey, std::string* path) {
    if (subKey == nullptr) return false;
    if (root == HKEY_LOCAL_MACHINE) {
        *path = std::string("HKLM\\") + subKey;
    } else if (root == HKEY_CURRENT_USER) {
        *path = std::string("HKCU\\") + subKey;
    } else {
        return false;
    }
    return true;
}

// The key and every missing key above it, below the root.
void makeKey(const std::string& path, bool isVolatile) {
    for (std::size_t end = path.find('\\', path.find('\\') + 1); end != std::string::npos;
         end = path.find('\\', end + 1)) {
        std::string parent = path.substr(0, end);
        if (registry.keys.count(parent) == 0) registry.keys[parent].isVolatile = isVolatile;
    }
    if (registry.keys.count(path) == 0) registry.keys[path].isVolatile = isVolatile;
}

HKEY newHandle(const std::string& path, REGSAM access) {
    registry.nextHandle += 0x10;
    HKEY key = reinterpret_cast<HKEY>(registry.nextHandle);
    registry.handles[key] = {path, access};
    return key;
}

// The key a handle stands for, if the handle is open and was opened with
// the rights the operation needs.
LSTATUS keyFor(HKEY handle, REGSAM needed, Key** key) {
    auto it = registry.handles.find(handle);
    if (it == registry.handles.end()) return ERROR_INVALID_HANDLE;
    if ((it->second.access & needed) != needed) return ERROR_ACCESS_DENIED;
    *key = &registry.keys[it->second.path];
    return ERROR_SUCCESS;
}

LSTATUS openOrCreate(const std::string& path, REGSAM access, bool create, HKEY* key, bool isVolatile = false) {
    Permission permission = permissionOf(path);
    bool exists = registry.keys.count(path) != 0;
    if (permission == Permission::None) return ERROR_ACCESS_DENIED;
    if (permission == Permission::ReadOnly && ((access & WritingRights) != 0 || (create && !exists))) {
        return ERROR_ACCESS_DENIED;
    }
    if (!exists && !create) return ERROR_FILE_NOT_FOUND;
    makeKey(path, isVolatile);
    *key = newHandle(path, access);
    return ERROR_SUCCESS;
}

}  // namespace

void reset() { registry = Registry{}; }

void createKey(const std::string& key) { registry.keys[key]; }
bool keyExists(const std::string& key) { return registry.keys.count(key) != 0; }
bool isVolatile(const std::string& key) { return keyExists(key) && registry.keys[key].isVolatile; }
void setPermission(const std::string& key, Permission permission) { registry.permissions[key] = permission; }
void failSetting(const std::string& valueName, const std::string& key) {
    registry.failingValues.push_back({valueName, key});
}
void refuseMachineWrites() { registry.machineReadOnly = true; }

void setValue(const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& data) {
    registry.keys[key].values[name] = {type, data};
}

void setDword(const std::string& key, const std::string& name, DWORD value) {
    setValue(key, name, REG_DWORD,
             {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
              static_cast<BYTE>(value >> 24)});
}

const Value* value(const std::string& key, const std::string& name) {
    auto k = registry.keys.find(key);
    if (k == registry.keys.end()) return nullptr;
    auto v = k->second.values.find(name);
    return v == k->second.values.end() ? nullptr : &v->second;
}

std::vector<std::string> valueNames(const std::string& key) {
    std::vector<std::string> names;
    auto k = registry.keys.find(key);
    if (k == registry.keys.end()) return names;
    for (const auto& v : k->second.values) names.push_back(v.first);
    return names;
}

std::size_t openHandles() { return registry.handles.size(); }

const std::vector<Call>& log() { return registry.log; }
void clearLog() { registry.log.clear(); }

}  // namespace fakereg

namespace reg {

using fakereg::Op;
using fakereg::record;

LSTATUS RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
    std::string path;
    if (!fakereg::pathOf(root, subKey, &path) ||
        (options != REG_OPTION_NON_VOLATILE && options != REG_OPTION_VOLATILE)) {
        return record(Op::CreateKey, subKey == nullptr ? "" : subKey, ERROR_INVALID_HANDLE, access);
    }
    bool isVolatile = options == REG_OPTION_VOLATILE;
    return record(Op::CreateKey, path, fakereg::openOrCreate(path, access, true, key, isVolatile), access);
}

LSTATUS RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
    std::string path;
    if (!fakereg::pathOf(root, subKey, &path) || options != 0) {
        return record(Op::OpenKey, subKey == nullptr ? "" : subKey, ERROR_INVALID_HANDLE, access);
    }
    return record(Op::OpenKey, path, fakereg::openOrCreate(path, access, false, key), access);
}

LSTATUS RegQueryValueExA(HKEY key, const char* name, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key, name, nullptr, data, size);
}

// As the platform answers: a value longer than the buffer gives
// ERROR_MORE_DATA with the size needed, and leaves the buffer alone.
LSTATUS RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    fakereg::Key* k = nullptr;
    LSTATUS status = fakereg::keyFor(key, KEY_QUERY_VALUE, &k);
    if (status != ERROR_SUCCESS) return record(Op::QueryValue, name, status);
    auto v = k->values.find(name);
    if (v == k->values.end()) return record(Op::QueryValue, name, ERROR_FILE_NOT_FOUND);
    DWORD needed = static_cast<DWORD>(v->second.data.size());
    bool fits = data == nullptr || needed <= *size;
    if (data != nullptr && fits && needed != 0) std::memcpy(data, v->second.data.data(), needed);
    *size = needed;
    if (type != nullptr) *type = v->second.type;
    return record(Op::QueryValue, name, fits ? ERROR_SUCCESS : ERROR_MORE_DATA);
}

LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    fakereg::Key* k = nullptr;
    LSTATUS status = fakereg::keyFor(key, KEY_SET_VALUE, &k);
    for (const auto& failing : fakereg::registry.failingValues) {
        if (status != ERROR_SUCCESS) break;
        const bool inKey = failing.second.empty() || failing.second == fakereg::registry.handles.at(key).path;
        if (failing.first == name && inKey) status = ERROR_ACCESS_DENIED;
    }
    if (status == ERROR_SUCCESS) k->values[name] = {type, std::vector<BYTE>(data, data + size)};
    return record(Op::SetValue, name, status, 0, type, size);
}

LSTATUS RegDeleteValueA(HKEY key, const char* name) {
    fakereg::Key* k = nullptr;
    LSTATUS status = fakereg::keyFor(key, KEY_SET_VALUE, &k);
    if (status == ERROR_SUCCESS && k->values.erase(name) == 0) status = ERROR_FILE_NOT_FOUND;
    return record(Op::DeleteValue, name, status);
}

// Like the platform, a key with subkeys is not deleted.
LSTATUS RegDeleteKeyA(HKEY root, const char* subKey) {
    std::string path;
    if (!fakereg::pathOf(root, subKey, &path)) return record(Op::DeleteKey, "", ERROR_INVALID_HANDLE);
    if (fakereg::permissionOf(path) != fakereg::Permission::Full) {
        return record(Op::DeleteKey, path, ERROR_ACCESS_DENIED);
    }
    if (!fakereg::keyExists(path)) return record(Op::DeleteKey, path, ERROR_FILE_NOT_FOUND);
    for (const auto& k : fakereg::registry.keys) {
        bool isSubkey = k.first.compare(0, path.size() + 1, path + "\\") == 0;
        if (isSubkey) return record(Op::DeleteKey, path, ERROR_ACCESS_DENIED);
    }
    fakereg::registry.keys.erase(path);
    return record(Op::DeleteKey, path, ERROR_SUCCESS);
}

LSTATUS RegCloseKey(HKEY key) {
    bool known = fakereg::registry.handles.erase(key) != 0;
    return record(Op::CloseKey, "", known ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
}

}  // namespace reg

// The platform promises no order: here the values come last name first, so
// a reader that trusts the order shows it.
LSTATUS reg::RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                           DWORD* dataSize) {
    fakereg::Key* k = nullptr;
    LSTATUS status = fakereg::keyFor(key, KEY_QUERY_VALUE, &k);
    if (status != ERROR_SUCCESS) return fakereg::record(Op::EnumValue, "", status);
    if (index >= k->values.size()) return fakereg::record(Op::EnumValue, "", ERROR_NO_MORE_ITEMS);
    auto v = k->values.rbegin();
    std::advance(v, index);
    const std::string& valueName = v->first;
    const DWORD needed = static_cast<DWORD>(v->second.data.size());
    if (valueName.size() + 1 > *nameSize || (data != nullptr && needed > *dataSize)) {
        return fakereg::record(Op::EnumValue, valueName, ERROR_MORE_DATA);
    }
    std::memcpy(name, valueName.c_str(), valueName.size() + 1);
    *nameSize = static_cast<DWORD>(valueName.size());
    if (data != nullptr && needed != 0) std::memcpy(data, v->second.data.data(), needed);
    if (dataSize != nullptr) *dataSize = needed;
    if (type != nullptr) *type = v->second.type;
    return fakereg::record(Op::EnumValue, valueName, ERROR_SUCCESS);
}
