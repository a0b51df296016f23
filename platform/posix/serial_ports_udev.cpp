// Serial ports from the device manager's view of sysfs (libudev): every
// terminal device that has a parent device, i.e. real hardware. UARTs of
// the serial core also report their chip type; type 0 means the driver
// found no chip at that address, which is the case for most ttyS nodes.
#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "platform/posix/stable_names.h"
#include "platform/serial_ports.h"

namespace platform {
namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Attribute(udev_device* device, const char* name) {
    const char* value = udev_device_get_sysattr_value(device, name);
    return value != nullptr ? value : "";
}

// Names of the UART types of the serial core, by type number.
std::string UartTypeName(int type) {
    static const std::map<int, const char*> names = {
        {1, "8250"},   {2, "16450"},   {3, "16550"}, {4, "16550A"},   {5, "Cirrus"},
        {6, "16650"},  {7, "16650V2"}, {8, "16750"}, {9, "Startech"}, {10, "16C950"},
        {11, "16654"}, {12, "16850"},  {13, "RSA"},  {14, "NS16550A"}};
    auto found = names.find(type);
    return found != names.end() ? found->second : "type " + std::to_string(type);
}

// The serial core's chip type of a UART device node: from sysfs, or from
// the driver itself on kernels that do not publish it. -1 when unknown.
int UartType(udev_device* tty, const char* node) {
    std::string text = Attribute(tty, "type");
    if (!text.empty()) {
        char* end = nullptr;
        long type = std::strtol(text.c_str(), &end, 10);
        return (end != text.c_str()) ? static_cast<int>(type) : -1;
    }
    // Opening a port raises its modem lines, so only the 8250 family, whose
    // nodes exist without hardware, is asked this way.
    const char* sysname = udev_device_get_sysname(tty);
    if (sysname == nullptr || std::strncmp(sysname, "ttyS", 4) != 0) {
        return -1;
    }
    int fd = ::open(node, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    serial_struct info{};
    int type = ::ioctl(fd, TIOCGSERIAL, &info) == 0 ? info.type : -1;
    ::close(fd);
    return type;
}

// "Maker Product" of the USB device a port belongs to, empty if none.
std::string UsbDescription(udev_device* tty) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    if (usb == nullptr) {
        return "";
    }
    std::string maker = Attribute(usb, "manufacturer");
    std::string product = Attribute(usb, "product");
    std::string text = product;
    if (!maker.empty() && product.compare(0, maker.size(), maker) != 0) {
        text = product.empty() ? maker : maker + " " + product;
    }
    std::string ids = Attribute(usb, "idVendor") + ":" + Attribute(usb, "idProduct");
    return text.empty() ? "USB device " + ids : text + " (USB " + ids + ")";
}

}  // namespace

bool EnumerateSerialPorts(std::vector<SerialPortInfo>* ports, std::string* error) {
    ports->clear();
    UdevPtr<udev> context(udev_new());
    if (!context) {
        *error = "the device manager (libudev) is not available";
        return false;
    }
    UdevPtr<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(enumeration.get()) < 0) {
        *error = "the terminal devices cannot be listed";
        return false;
    }
    const std::map<std::string, std::string> stableNames =
        posix::StableNameLinks(posix::kStableNameDirectory);

    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
        UdevPtr<udev_device> tty(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty) {
            continue;
        }
        const char* node = udev_device_get_devnode(tty.get());
        // Consoles and pseudo-terminals have no device behind them.
        if (node == nullptr || udev_device_get_parent(tty.get()) == nullptr) {
            continue;
        }
        SerialPortInfo port;
        port.name = node;
        port.description = UsbDescription(tty.get());
        if (port.description.empty()) {
            int type = UartType(tty.get(), node);
            if (type == 0) {
                continue;  // a UART node with no chip behind it
            }
            port.description =
                type > 0 ? "built-in serial port (" + UartTypeName(type) + ")" : "serial port";
        }
        auto stable = stableNames.find(port.name);
        if (stable != stableNames.end()) {
            port.stableName = stable->second;
        }
        ports->push_back(std::move(port));
    }
    return true;
}

}  // namespace platform
