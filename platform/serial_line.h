#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <atomic>
#include <functional>
#include <future>

#include "modbus/serial_port.h"

namespace kelvora {

// One opening of a serial device, on a thread of its own: the open (which on some systems
// takes seconds, or does not return at all), the set-up, the traffic and the close all run
// there, so the window's thread never waits on the device. Created by QtSerialPort; every
// call below comes from the window's thread and is queued to the line's thread, in order.
class SerialLine : public QObject {
    Q_OBJECT
public:
    using Hook = std::function<void(const QString& device)>;

    // Starts the line's thread, which opens `device` at once (after `beforeOpen`, if given).
    static SerialLine* start(const QString& device, quint64 id, const Hook& beforeOpen);

    const quint64 id;
    // Ready once the open has ended, Pending included never.
    std::shared_future<OpenResult> outcome() const { return outcome_; }
    // Ready once the line has let go of the device.
    std::shared_future<void> released() const { return released_; }

    void send(const QByteArray& bytes);
    void flush();
    void discardInput(quint64 generation);
    // Closes the device and ends the thread; a pending open is closed as soon as it ends.
    void close();

signals:
    void opened(quint64 id, int result);
    void received(quint64 id, quint64 generation, const QByteArray& bytes);
    void failed(quint64 id, int event, bool gone);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SerialLine(const QString& device, quint64 id, Hook beforeOpen);
    void open();
    void onError(QSerialPort::SerialPortError error);
    void watchForHangUp();
    void deviceGone();
    void finish();

    const QString device_;
    const Hook beforeOpen_;
    QSerialPort* port_;
    std::promise<OpenResult> result_;
    std::shared_future<OpenResult> outcome_;
    std::promise<void> closed_;
    std::shared_future<void> released_;
    std::atomic<bool> closing_{false};
    quint64 generation_ = 0;  // of the last discardInput
    bool opening_ = false;
    bool finished_ = false;
};

}  // namespace kelvora
