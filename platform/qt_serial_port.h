#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSerialPort>
#include <functional>
#include <memory>

#include "modbus/port_map.h"
#include "modbus/serial_port.h"

namespace kelvora {

// What a QSerialPort error means here: the outcome when it ends an open, and the event to raise
// (0: none) when it happens on an open port. `deviceGone` errors also close the port.
struct PortErrorMeaning {
    OpenResult atOpen = OpenResult::OtherFailure;
    int event = 0;
    bool deviceGone = false;
};
PortErrorMeaning meaningOf(QSerialPort::SerialPortError error);

// Before QSerialPort is asked: a device that is not there is an invalid port, one this user
// may not read and write fails for another reason. Qt reports a held lock and a denied
// permission alike, so this check is what tells "in use" apart from "no permission".
enum class DeviceAccess { Missing, Denied, Usable };
DeviceAccess checkDeviceAccess(const QString& device);

// The outcome of an open from the device check and the error QSerialPort gave.
OpenResult openOutcome(DeviceAccess access, QSerialPort::SerialPortError error);

class SerialLine;

// The window's serial port on QSerialPort: 9600 baud 8N1, no flow control, raw bytes;
// DTR and RTS are left as the driver has them. Each open runs on a line of its own
// (SerialLine, a thread); open() waits for it a few milliseconds, then answers Pending and
// reports the outcome to the open handler. Without an open handler it waits for the outcome.
class QtSerialPort : public QObject, public SerialPort {
public:
    explicit QtSerialPort(PortMap ports, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setPortNumber(int portNumber) override { number_ = portNumber; }
    int portNumber() const override { return number_; }
    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return line_ != nullptr && opened_; }
    bool openPending(int portNumber) const override;
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    int receiveThreshold() const override { return threshold_; }
    void write(const QByteArray& bytes) override;
    void discardInput() override;
    void discardOutput() override;
    QByteArray readAll() override;
    int bytesWaiting() const override { return static_cast<int>(input_.size()); }

    // The device path behind the current port number (empty: none).
    QString device() const { return ports_.deviceFor(number_); }
    QString deviceName() const override { return device(); }

    // Runs on the line's thread before each open; the tests and the benchmark make an open
    // slow with it.
    void setBeforeOpen(std::function<void(const QString& device)> hook) {
        beforeOpen_ = std::move(hook);
    }

private:
    void onOpened(quint64 id, OpenResult result);
    void onReceived(quint64 id, quint64 generation, const QByteArray& bytes);
    void onFailed(quint64 id, int event, bool gone);
    void release();
    void sendSoon();

    PortMap ports_;
    int number_ = 1;
    int threshold_ = 0;
    SerialLine* line_ = nullptr;  // the current line, open or opening
    bool opened_ = false;
    int linePort_ = 0;             // the port number of line_
    QHash<quint64, int> givenUp_;  // lines whose open was given up, by id: port number
    quint64 lastId_ = 0;
    quint64 generation_ = 0;  // counts discardInput, so bytes read before it are dropped
    QByteArray input_;
    QByteArray output_;  // written, not yet handed to the line
    bool flushWanted_ = false;
    bool sendQueued_ = false;
    std::function<void(const QString&)> beforeOpen_;
};

std::unique_ptr<SerialPort> makeQtSerialPort(const PortMap& ports);

}  // namespace kelvora
