// A registry for tests of the port discovery (platform/registry_ports.h):
// keys and values set up by the test, answered with the rules of the
// Win32 calls (buffer sizes included), and a record of open keys so that a
// test can tell every key was closed again.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_ports.h"

namespace platform::testing {

class ScriptedRegistry : public RegistryView {
  public:
    // GetVersion's answer: NT family by default.
    void SetVersion(DWORD version) { version_ = version; }

    // Creates the key path (below HKEY_LOCAL_MACHINE, '\'-separated) and its
    // parents; subkeys are listed in the order they were first made.
    void AddKey(const std::string& path);
    // A value of the key path (made if need be); values are listed in the
    // order they were added. SetString stores the text with its NUL.
    void SetValue(const std::string& path, const std::string& name, DWORD type,
                  const std::string& data);
    void SetString(const std::string& path, const std::string& name, const std::string& text);
    // A key that is listed by its parent but cannot be opened.
    void Lock(const std::string& path);

    // Keys opened and not closed yet.
    int OpenKeys() const { return static_cast<int>(open_.size()); }

    DWORD Version() override { return version_; }
    bool OpenKey(Key parent, const std::string& subKey, Key* key) override;
    void CloseKey(Key key) override;
    bool EnumValue(Key key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                   DWORD* dataSize) override;
    bool EnumKey(Key key, DWORD index, char* name, DWORD nameSize) override;
    bool QueryValue(Key key, const char* name, DWORD* type, BYTE* data, DWORD* dataSize) override;

  private:
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    struct Node {
        std::string name;
        bool locked = false;
        std::vector<std::unique_ptr<Node>> children;
        std::vector<Value> values;
    };
    Node* Find(Node* from, const std::string& path, bool create);
    Node* Opened(Key key) const;
    static bool CopyData(const Value& value, DWORD* type, BYTE* data, DWORD* dataSize);

    DWORD version_ = 0x1DB10106;  // 6.1, build 7601: an NT system
    Node root_;
    std::map<Key, Node*> open_;
    int next_ = 1;
};

}  // namespace platform::testing
