#include <QSerialPortInfo>

#include "link/port_map.h"

namespace kelvora {

PortMap PortMap::fromSystem() {
#ifdef Q_OS_WIN
    return comPorts();
#else
    QStringList devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        devices << port.systemLocation();
    }
    return fromDevices(devices);
#endif
}

}  // namespace kelvora
