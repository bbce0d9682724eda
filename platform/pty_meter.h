#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "modbus/meter_simulator.h"

namespace kelvora {

class PtyMeterWorker;

// The simulated meter on a pseudo-terminal, served from a thread of its own so its timing does
// not depend on the window. The program opens devicePath() like any serial device: a symlink
// that stays put while the pseudo-terminal behind it goes away and comes back.
class PtyMeter {
public:
    PtyMeter();
    ~PtyMeter();
    PtyMeter(const PtyMeter&) = delete;
    PtyMeter& operator=(const PtyMeter&) = delete;

    // Creates the pseudo-terminal and starts serving; false (with a reason) when it cannot.
    bool start(QString* error = nullptr);

    QString devicePath() const;

    // The meter goes away as an unplugged device does: the program's open port is hung up and
    // the device path leads nowhere until comeBack().
    void hangUp();
    // A fresh pseudo-terminal behind the same device path.
    bool comeBack();
    bool isPresent() const;

    // Runs `change` on the meter's thread with its simulator and waits for it.
    void withSimulator(const std::function<void(MeterSimulator&)>& change);

    void setFaults(const MeterFaults& faults);
    void setLiveReading(const MeterReading& reading);
    void setStoredRecords(const QList<MeterReading>& records);
    // Whole requests the meter has recognised so far, oldest first (the recent ones).
    QList<QByteArray> requests();
    // The bytes that reached the meter so far (the most recent 64 KiB or more).
    QByteArray bytesReceived();

private:
    void runOnMeterThread(const std::function<void()>& work) const;

    QTemporaryDir folder_;
    QThread thread_;
    PtyMeterWorker* worker_ = nullptr;
    bool started_ = false;
};

}  // namespace kelvora
