#include <QSerialPortInfo>

#include "modbus/port_map.h"

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#endif

namespace kelvora {

namespace {

#ifdef Q_OS_LINUX

// An 8250 port that the kernel reserved without finding a UART behind it. Its sysfs "type" tells
// every user, also one who may not open the device (whose ports must stay in the list); only
// where it cannot be read is the device asked.
bool isUnprobed8250(int ttyFolder, const QByteArray& name, const QByteArray& device) {
    const int typeFile = ::openat(ttyFolder, (name + "/type").constData(), O_RDONLY);
    if (typeFile >= 0) {
        char type[16] = {};
        const ssize_t length = ::read(typeFile, type, sizeof type - 1);
        ::close(typeFile);
        if (length > 0) {
            return std::atoi(type) == PORT_UNKNOWN;
        }
    }
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        // A port this user may not open is still a port: the search says how to get access.
        return errno != EACCES && errno != EPERM;
    }
    serial_struct info{};
    const bool unknown = ::ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type == PORT_UNKNOWN;
    ::close(fd);
    return unknown;
}

// The serial devices that QSerialPortInfo lists, read from sysfs directly: through libudev
// the same answer costs thousands of file opens, and the search asks at every cycle. A tty
// with a parent device is a port (unless an empty 8250 slot); of the others, which the kernel
// files under /devices/virtual/, only Bluetooth, null-modem and gadget ttys are.
bool serialDevicesFromSysfs(QStringList& devices) {
    DIR* ttys = ::opendir("/sys/class/tty");
    if (ttys == nullptr) {
        return false;
    }
    const int folder = ::dirfd(ttys);
    while (const dirent* entry = ::readdir(ttys)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.')) {
            continue;
        }
        char target[PATH_MAX] = {};
        if (::readlinkat(folder, name.constData(), target, sizeof target - 1) <= 0) {
            continue;
        }
        const QByteArray device = "/dev/" + name;
        if (std::strstr(target, "/devices/virtual/") == nullptr) {
            char driver[PATH_MAX] = {};
            const ssize_t length =
                ::readlinkat(folder, name + "/device/driver", driver, sizeof driver - 1);
            const char* slash = length > 0 ? std::strrchr(driver, '/') : nullptr;
            if (slash != nullptr && std::strcmp(slash + 1, "serial8250") == 0 &&
                isUnprobed8250(folder, name, device)) {
                continue;
            }
        } else if (!name.startsWith("rfcomm") && !name.startsWith("tnt") &&
                   !name.startsWith("ttyGS")) {
            continue;
        }
        devices << QString::fromLocal8Bit(device);
    }
    ::closedir(ttys);
    return true;
}

#endif

}  // namespace

PortMap PortMap::fromSystem() {
#ifdef Q_OS_WIN
    PortMap map = comPorts();
#else
    QStringList devices;
#ifdef Q_OS_LINUX
    const bool listed = serialDevicesFromSysfs(devices);
#else
    const bool listed = false;
#endif
    if (!listed) {
        const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
        for (const QSerialPortInfo& port : ports) {
            devices << port.systemLocation();
        }
    }
    PortMap map = fromDevices(devices);
#endif
    map.followsSystem_ = true;
    return map;
}

void PortMap::refresh() {
    if (!followsSystem_) {
        return;
    }
    const QMap<int, QString> assigned = assigned_;
    *this = fromSystem();
    for (auto it = assigned.cbegin(); it != assigned.cend(); ++it) {
        assign(it.key(), it.value());
    }
}

}  // namespace kelvora
