#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <utility>

#include "modbus/serial_port.h"

namespace kelvora::testing {

// A scripted serial port. Every operation is logged in order ("threshold 15", "write 01 03 ...",
// "discardInput", ...), so tests can check what reached the line and in which order.
class FakeSerialPort : public SerialPort {
public:
    QMap<int, OpenResult> openResults;  // by port number; ports not listed are invalid; an open
                                        // answered Pending ends with finishOpen
    QStringList log;
    QList<QByteArray> written;

    void setPortNumber(int portNumber) override { number_ = portNumber; }
    int portNumber() const override { return number_; }
    OpenResult open() override;
    void close() override {
        log << QStringLiteral("close");
        open_ = false;
        waiting_ = 0;
        input_.clear();
    }
    bool openPending(int portNumber) const override { return pending_.contains(portNumber); }
    // Ends a pending open; one given up meanwhile closes a success at once ("late close").
    void finishOpen(int portNumber, OpenResult result);
    bool isOpen() const override { return open_; }
    void setReceiveThreshold(int bytes) override {
        log << QStringLiteral("threshold %1").arg(threshold_ = bytes);
    }
    int receiveThreshold() const override { return threshold_; }
    void write(const QByteArray& bytes) override;
    void discardInput() override {
        log << QStringLiteral("discardInput");
        input_.clear();
    }
    void discardOutput() override { log << QStringLiteral("discardOutput"); }
    QByteArray readAll() override { return std::exchange(input_, {}); }
    int bytesWaiting() const override { return input_.size(); }

    // Bytes from the meter: queued, and the receive event raised once the threshold is reached.
    void arrive(const QByteArray& bytes);
    // Raises an event with any code, whatever is waiting.
    void raise(int code) { raiseEvent(code); }
    // Opens the port without going through open(), for tests of a link that is up.
    void forceOpen(int portNumber = 3) {
        number_ = portNumber;
        open_ = true;
    }

private:
    int number_ = 1;
    bool open_ = false;
    int waiting_ = 0;  // the port whose pending open is still awaited
    QList<int> pending_;
    int threshold_ = 0;
    QByteArray input_;
};

QString hex(const QByteArray& bytes);   // "01 03 00 02"
QByteArray bytes(const char* hexText);  // "01 03 00 02" -> bytes

}  // namespace kelvora::testing
