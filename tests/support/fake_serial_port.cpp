#include "support/fake_serial_port.h"

namespace kelvora::testing {

OpenResult FakeSerialPort::open() {
    const OpenResult result = openResults.value(number_, OpenResult::InvalidPort);
    log << QStringLiteral("open %1").arg(number_);
    open_ = result == OpenResult::Ok;
    if (result == OpenResult::Pending) {
        pending_ << number_;
        waiting_ = number_;
    }
    return result;
}

void FakeSerialPort::finishOpen(int portNumber, OpenResult result) {
    pending_.removeOne(portNumber);
    if (waiting_ != portNumber) {
        if (result == OpenResult::Ok)
            log << QStringLiteral("late close %1").arg(portNumber);
        return;
    }
    waiting_ = 0;
    open_ = result == OpenResult::Ok;
    reportOpen(result);
}

void FakeSerialPort::write(const QByteArray& bytes) {
    log << QStringLiteral("write ") + hex(bytes);
    if (open_)
        written << bytes;
}

void FakeSerialPort::arrive(const QByteArray& bytes) {
    if (!open_)
        return;
    input_ += bytes;
    if (threshold_ > 0 && input_.size() >= threshold_)
        raiseEvent(kComEvReceive);
}

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

QByteArray bytes(const char* hexText) {
    return QByteArray::fromHex(QByteArray(hexText));
}

}  // namespace kelvora::testing
