#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace kelvora {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;

// Which device stands behind each port number 1..16.
class PortMap {
public:
    // Ports as the system reports them (COMn on Windows; serial devices in a fixed order
    // elsewhere). The only part that asks the system; it lives in platform/system_ports.cpp.
    static PortMap fromSystem();

    // Port n is COMn, for every number.
    static PortMap comPorts();

    // Port n is the n-th device of orderSerialDevices(devices); numbers beyond them are invalid.
    static PortMap fromDevices(const QStringList& devices);

    // USB-serial devices (ttyUSB*) first, then ACM devices (ttyACM*), then the rest, each group
    // in natural name order (ttyS2 before ttyS10). Devices are paths or bare names.
    static QStringList orderSerialDevices(QStringList devices);

    // "ttyS2" < "ttyS10": runs of digits compare by value, the rest by character.
    static bool naturalLess(const QString& a, const QString& b);

    // Maps one port to a device path, replacing what the system gave it, for good.
    void assign(int portNumber, const QString& device) {
        devices_[portNumber] = device;
        assigned_[portNumber] = device;
    }

    // For a map that follows the system: asks it again, so a device plugged in after start is
    // found, keeping the ports assigned by hand. Other maps stay as they are.
    void refresh();

    // Empty when no device stands behind the number: an invalid port number.
    QString deviceFor(int portNumber) const { return devices_.value(portNumber); }

private:
    QMap<int, QString> devices_;
    QMap<int, QString> assigned_;
    bool followsSystem_ = false;
};

}  // namespace kelvora
