#include <QSerialPortInfo>

#include "link/port_map.h"

namespace kelvora {

PortMap PortMap::fromSystem() {
#ifdef Q_OS_WIN
    PortMap map = comPorts();
#else
    QStringList devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        devices << port.systemLocation();
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
