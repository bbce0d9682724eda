#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
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

// The window's serial port on QSerialPort: 9600 baud 8N1, no flow control, raw bytes;
// DTR and RTS are left as the driver has them.
class QtSerialPort : public QObject, public SerialPort {
public:
    explicit QtSerialPort(PortMap ports, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setPortNumber(int portNumber) override { number_ = portNumber; }
    int portNumber() const override { return number_; }
    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    int receiveThreshold() const override { return threshold_; }
    void write(const QByteArray& bytes) override;
    void discardInput() override;
    void discardOutput() override;
    QByteArray readAll() override;
    int bytesWaiting() const override { return static_cast<int>(port_.bytesAvailable()); }

    // The device path behind the current port number (empty: none).
    QString device() const { return ports_.deviceFor(number_); }
    QString deviceName() const override { return device(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void watchForHangUp();
    void deviceGone(quint64 generation);

    PortMap ports_;
    QSerialPort port_;
    int number_ = 1;
    int threshold_ = 0;
    bool opening_ = false;
    quint64 generation_ = 0;  // counts opens, so a late notice cannot close a newer open
};

std::unique_ptr<SerialPort> makeQtSerialPort(const PortMap& ports);

}  // namespace kelvora
