#include "platform/registry_ports.h"

#include <cstring>

namespace platform {
namespace {

constexpr DWORD kNameBufferSize = 261;
constexpr DWORD kDataBufferSize = 256;
constexpr DWORD kFamily9xBit = 0x80000000u;

// The text in a value's data: up to its NUL, or all of it.
std::string DataText(const BYTE* data, DWORD size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(text, '\0', size);
    return nul != nullptr ? std::string(text) : std::string(text, size);
}

// A string value of key, or false.
bool ReadString(RegistryView& registry, RegistryView::Key key, const char* name,
                std::string* text) {
    BYTE data[kDataBufferSize];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (!registry.QueryValue(key, name, &type, data, &size) || type != RegistryView::kString) {
        return false;
    }
    *text = DataText(data, size);
    return true;
}

// NT family: every value of the serial-communication device map is a port.
void ReadDeviceMap(RegistryView& registry, std::vector<std::string>* names) {
    RegistryView::Key map = nullptr;
    if (!registry.OpenKey(nullptr, "Hardware\\DeviceMap\\SerialComm", &map)) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        char name[kNameBufferSize];
        BYTE data[kDataBufferSize];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (!registry.EnumValue(map, index, name, &nameSize, &type, data, &dataSize)) {
            break;
        }
        names->push_back(DataText(data, dataSize));  // whatever the value's type
    }
    registry.CloseKey(map);
}

// 95/98/Me family: a device three levels below Enum is a port when its
// class gives it the port subclass 1 or 2 (2: a modem's port).
void ReadDevice(RegistryView& registry, RegistryView::Key device, std::vector<std::string>* names) {
    std::string portName, driver;
    if (!ReadString(registry, device, "PortName", &portName) ||
        !ReadString(registry, device, "Driver", &driver)) {
        return;
    }
    RegistryView::Key deviceClass = nullptr;
    if (!registry.OpenKey(nullptr, "System\\CurrentControlSet\\Services\\Class\\" + driver,
                          &deviceClass)) {
        return;
    }
    BYTE data[kDataBufferSize];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (registry.QueryValue(deviceClass, "PortSubClass", &type, data, &size) &&
        type == RegistryView::kBinary && size == 1 && (data[0] == 1 || data[0] == 2)) {
        names->push_back(portName);
    }
    registry.CloseKey(deviceClass);
}

// Calls visit for each subkey of key that opens, depth levels down.
template <typename Visit>
void WalkSubkeys(RegistryView& registry, RegistryView::Key key, int depth, const Visit& visit) {
    for (DWORD index = 0;; ++index) {
        char name[kNameBufferSize];
        if (!registry.EnumKey(key, index, name, sizeof name)) {
            break;
        }
        RegistryView::Key subKey = nullptr;
        if (!registry.OpenKey(key, name, &subKey)) {
            continue;
        }
        if (depth == 1) {
            visit(subKey);
        } else {
            WalkSubkeys(registry, subKey, depth - 1, visit);
        }
        registry.CloseKey(subKey);
    }
}

void ReadEnumerationTree(RegistryView& registry, std::vector<std::string>* names) {
    RegistryView::Key root = nullptr;
    if (!registry.OpenKey(nullptr, "Enum", &root)) {
        return;
    }
    WalkSubkeys(registry, root, 3,
                [&](RegistryView::Key device) { ReadDevice(registry, device, names); });
    registry.CloseKey(root);
}

}  // namespace

std::vector<std::string> RegistryPortNames(RegistryView& registry) {
    std::vector<std::string> names;
    if ((registry.Version() & kFamily9xBit) != 0) {
        ReadEnumerationTree(registry, &names);
    } else {
        ReadDeviceMap(registry, &names);
    }
    return names;
}

}  // namespace platform
