#include "fake_registry.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <utility>

namespace fakereg {
namespace {

constexpr REGSAM KeyCreateSubKey = 0x0004;
constexpr REGSAM WritingRights = KEY_SET_VALUE | KeyCreateSubKey;

struct Key {
    std::map<std::string, Value> values;
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

LSTATUS openOrCreate(const std::string& path, REGSAM access, bool create, HKEY* key) {
    Permission permission = permissionOf(path);
    bool exists = registry.keys.count(path) != 0;
    if (permission == Permission::None) return ERROR_ACCESS_DENIED;
    if (permission == Permission::ReadOnly && ((access & WritingRights) != 0 || (create && !exists))) {
        return ERROR_ACCESS_DENIED;
    }
    if (!exists && !create) return ERROR_FILE_NOT_FOUND;
    registry.keys[path];
    *key = newHandle(path, access);
    return ERROR_SUCCESS;
}

}  // namespace

void reset() { registry = Registry{}; }

void createKey(const std::string& key) { registry.keys[key]; }
bool keyExists(const std::string& key) { return registry.keys.count(key) != 0; }
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
    if (!fakereg::pathOf(root, subKey, &path) || options != REG_OPTION_NON_VOLATILE) {
        return record(Op::CreateKey, subKey == nullptr ? "" : subKey, ERROR_INVALID_HANDLE, access);
    }
    return record(Op::CreateKey, path, fakereg::openOrCreate(path, access, true, key), access);
}

LSTATUS RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
    std::string path;
    if (!fakereg::pathOf(root, subKey, &path) || options != 0) {
        return record(Op::OpenKey, subKey == nullptr ? "" : subKey, ERROR_INVALID_HANDLE, access);
    }
    return record(Op::OpenKey, path, fakereg::openOrCreate(path, access, false, key), access);
}

// As the platform answers: a value longer than the buffer gives
// ERROR_MORE_DATA with the size needed, and leaves the buffer alone.
LSTATUS RegQueryValueExA(HKEY key, const char* name, BYTE* data, DWORD* size) {
    fakereg::Key* k = nullptr;
    LSTATUS status = fakereg::keyFor(key, KEY_QUERY_VALUE, &k);
    if (status != ERROR_SUCCESS) return record(Op::QueryValue, name, status);
    auto v = k->values.find(name);
    if (v == k->values.end()) return record(Op::QueryValue, name, ERROR_FILE_NOT_FOUND);
    DWORD needed = static_cast<DWORD>(v->second.data.size());
    bool fits = data == nullptr || needed <= *size;
    if (data != nullptr && fits && needed != 0) std::memcpy(data, v->second.data.data(), needed);
    *size = needed;
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

LSTATUS RegCloseKey(HKEY key) {
    bool known = fakereg::registry.handles.erase(key) != 0;
    return record(Op::CloseKey, "", known ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
}

}  // namespace reg
