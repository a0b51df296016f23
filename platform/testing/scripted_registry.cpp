#include "platform/testing/scripted_registry.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace platform::testing {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

ScriptedRegistry::Node* ScriptedRegistry::Find(Node* from, const std::string& path, bool create) {
    Node* node = from;
    std::size_t at = 0;
    while (node != nullptr && at < path.size()) {
        std::size_t end = path.find('\\', at);
        const std::string part = path.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? path.size() : end + 1;
        if (part.empty()) {
            continue;
        }
        Node* next = nullptr;
        for (auto& child : node->children) {
            // Registry names compare without regard to case.
            if (SameName(child->name, part)) {
                next = child.get();
            }
        }
        if (next == nullptr && create) {
            node->children.push_back(std::make_unique<Node>());
            next = node->children.back().get();
            next->name = part;
        }
        node = next;
    }
    return node;
}

ScriptedRegistry::Node* ScriptedRegistry::Opened(Key key) const {
    auto it = open_.find(key);
    return it != open_.end() ? it->second : nullptr;
}

void ScriptedRegistry::AddKey(const std::string& path) {
    Find(&root_, path, true);
}

void ScriptedRegistry::SetValue(const std::string& path, const std::string& name, DWORD type,
                                const std::string& data) {
    Find(&root_, path, true)->values.push_back(Value{name, type, data});
}

void ScriptedRegistry::SetString(const std::string& path, const std::string& name,
                                 const std::string& text) {
    SetValue(path, name, kString, text + std::string(1, '\0'));
}

void ScriptedRegistry::Lock(const std::string& path) {
    Find(&root_, path, true)->locked = true;
}

bool ScriptedRegistry::OpenKey(Key parent, const std::string& subKey, Key* key) {
    Node* from = parent == nullptr ? &root_ : Opened(parent);
    Node* node = from != nullptr ? Find(from, subKey, false) : nullptr;
    if (node == nullptr || node->locked) {
        return false;
    }
    *key = reinterpret_cast<Key>(static_cast<std::intptr_t>(next_++));
    open_[*key] = node;
    return true;
}

void ScriptedRegistry::CloseKey(Key key) {
    open_.erase(key);
}

bool ScriptedRegistry::CopyData(const Value& value, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (value.data.size() > *dataSize) {
        *dataSize = static_cast<DWORD>(value.data.size());
        return false;  // ERROR_MORE_DATA
    }
    std::memcpy(data, value.data.data(), value.data.size());
    *dataSize = static_cast<DWORD>(value.data.size());
    *type = value.type;
    return true;
}

bool ScriptedRegistry::EnumValue(Key key, DWORD index, char* name, DWORD* nameSize, DWORD* type,
                                 BYTE* data, DWORD* dataSize) {
    Node* node = Opened(key);
    if (node == nullptr || index >= node->values.size()) {
        return false;
    }
    const Value& value = node->values[index];
    if (value.name.size() + 1 > *nameSize) {
        return false;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameSize = static_cast<DWORD>(value.name.size());
    return CopyData(value, type, data, dataSize);
}

bool ScriptedRegistry::EnumKey(Key key, DWORD index, char* name, DWORD nameSize) {
    Node* node = Opened(key);
    if (node == nullptr || index >= node->children.size() ||
        node->children[index]->name.size() + 1 > nameSize) {
        return false;
    }
    std::memcpy(name, node->children[index]->name.c_str(), node->children[index]->name.size() + 1);
    return true;
}

bool ScriptedRegistry::QueryValue(Key key, const char* name, DWORD* type, BYTE* data,
                                  DWORD* dataSize) {
    Node* node = Opened(key);
    if (node == nullptr) {
        return false;
    }
    for (const Value& value : node->values) {
        if (SameName(value.name, name)) {
            return CopyData(value, type, data, dataSize);
        }
    }
    return false;
}

}  // namespace platform::testing
