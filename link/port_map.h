#pragma once

#include <QMap>
#include <QString>

namespace kelvora {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;

// Which device stands behind each port number 1..16.
class PortMap {
public:
    // Ports as the system reports them (COMn on Windows; serial devices in a fixed order
    // elsewhere).
    static PortMap fromSystem();

    // Maps one port to a device path, replacing what the system gave it.
    void assign(int portNumber, const QString& device) { devices_[portNumber] = device; }

    // Empty when no device stands behind the number: an invalid port number.
    QString deviceFor(int portNumber) const { return devices_.value(portNumber); }

private:
    QMap<int, QString> devices_;
};

}  // namespace kelvora
