#include "modbus/port_map.h"

#include <algorithm>

namespace kelvora {

namespace {

QString baseName(const QString& device) {
    const qsizetype slash = device.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? device : device.mid(slash + 1);
}

int groupOf(const QString& device) {
    const QString name = baseName(device);
    if (name.startsWith(QLatin1String("ttyUSB"))) {
        return 0;
    }
    if (name.startsWith(QLatin1String("ttyACM"))) {
        return 1;
    }
    return 2;
}

}  // namespace

bool PortMap::naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a[endA].isDigit()) {
                ++endA;
            }
            while (endB < b.size() && b[endB].isDigit()) {
                ++endB;
            }
            // Compare by value without converting: strip leading zeros, then length, then digits.
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a[startA] == QLatin1Char('0')) {
                ++startA;
            }
            while (startB + 1 < endB && b[startB] == QLatin1Char('0')) {
                ++startB;
            }
            const QStringView digitsA = QStringView(a).mid(startA, endA - startA);
            const QStringView digitsB = QStringView(b).mid(startB, endB - startB);
            if (digitsA.size() != digitsB.size()) {
                return digitsA.size() < digitsB.size();
            }
            if (const int order = digitsA.compare(digitsB); order != 0) {
                return order < 0;
            }
            if (endA - i != endB - j) {
                return endA - i < endB - j;  // "01" after "1": fewer zeros first
            }
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QStringList PortMap::orderSerialDevices(QStringList devices) {
    std::stable_sort(devices.begin(), devices.end(), [](const QString& a, const QString& b) {
        const int groupA = groupOf(a);
        const int groupB = groupOf(b);
        if (groupA != groupB) {
            return groupA < groupB;
        }
        return naturalLess(baseName(a), baseName(b));
    });
    return devices;
}

PortMap PortMap::comPorts() {
    PortMap map;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        map.devices_[n] = QStringLiteral("COM%1").arg(n);
    }
    return map;
}

PortMap PortMap::fromDevices(const QStringList& devices) {
    PortMap map;
    const QStringList ordered = orderSerialDevices(devices);
    for (int n = kFirstPort; n <= kLastPort && n - kFirstPort < ordered.size(); ++n) {
        map.devices_[n] = ordered[n - kFirstPort];
    }
    return map;
}

}  // namespace kelvora
