#include "platform/qt_serial_port.h"

#include <QFile>
#include <QTimer>
#include <utility>

#include "platform/serial_line.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#include <cerrno>
#endif

namespace kelvora {

namespace {

// How long open() waits for a line before it answers Pending: a port that opens at once
// answers at once, and the window stays within a frame or two.
constexpr auto kOpenPatience = std::chrono::milliseconds(20);
constexpr auto kCloseWaitOnExit = std::chrono::milliseconds(500);

}  // namespace

PortErrorMeaning meaningOf(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
            return {OpenResult::Ok, 0, false};
        case QSerialPort::DeviceNotFoundError:
            return {OpenResult::InvalidPort, kComEventDeviceGone, true};
        case QSerialPort::PermissionError:
            // A held lock or a busy (exclusive) device; real permission problems are caught
            // by checkDeviceAccess before QSerialPort is asked.
            return {OpenResult::InUse, 0, false};
        case QSerialPort::ResourceError:
            // Unplugged, hung up, or reading stopped for good: Qt has given up on the device.
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            // An I/O failure on a serial line does not heal; the search reopens the port.
            return {OpenResult::OtherFailure, kComEventDeviceGone, true};
        case QSerialPort::OpenError:
        case QSerialPort::NotOpenError:
        case QSerialPort::UnsupportedOperationError:
        case QSerialPort::TimeoutError:
        case QSerialPort::UnknownError:
            return {OpenResult::OtherFailure, 0, false};
    }
    return {OpenResult::OtherFailure, 0, false};
}

DeviceAccess checkDeviceAccess(const QString& device) {
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), F_OK) != 0) {
        return DeviceAccess::Missing;  // also a link that leads nowhere
    }
    if (::access(path.constData(), R_OK | W_OK) != 0) {
        return errno == ENOENT ? DeviceAccess::Missing : DeviceAccess::Denied;
    }
#else
    Q_UNUSED(device);  // COMn names are not files; the open itself tells
#endif
    return DeviceAccess::Usable;
}

OpenResult openOutcome(DeviceAccess access, QSerialPort::SerialPortError error) {
    switch (access) {
        case DeviceAccess::Missing:
            return OpenResult::InvalidPort;
        case DeviceAccess::Denied:
            return OpenResult::PermissionDenied;
        case DeviceAccess::Usable:
            break;
    }
    return meaningOf(error).atOpen;
}

QtSerialPort::QtSerialPort(PortMap ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)) {}

QtSerialPort::~QtSerialPort() {
    // A line still opening is left to itself (it closes what it opens) and, should its open
    // never return, to the end of the process. On Windows too: CancelSynchronousIo is not used,
    // as a driver (Bluetooth serial above all) need not honour it, and the cancelled open
    // would still have to be waited for. An open line is closed, and waited for briefly so that
    // the device is let go before the program ends.
    if (line_ != nullptr) {
        const std::shared_future<void> released = line_->released();
        const bool wasOpen = opened_;
        release();
        if (wasOpen) {
            released.wait_for(kCloseWaitOnExit);
        }
    }
}

OpenResult QtSerialPort::open() {
    if (line_ != nullptr) {
        close();
    }
    if (number_ == kFirstPort) {
        ports_.refresh();  // a new search cycle: devices plugged in since get their numbers
    }
    const QString path = device();
    if (path.isEmpty()) {
        return OpenResult::InvalidPort;
    }
    // Only asks the file system (a Linux device node may refuse this user); opens nothing.
    const DeviceAccess access = checkDeviceAccess(path);
    if (access != DeviceAccess::Usable) {
        return openOutcome(access, QSerialPort::NoError);
    }
    input_.clear();
    line_ = SerialLine::start(path, ++lastId_, beforeOpen_);
    linePort_ = number_;
    opened_ = false;
    connect(line_, &SerialLine::opened, this,
            [this](quint64 id, int result) { onOpened(id, static_cast<OpenResult>(result)); });
    connect(line_, &SerialLine::received, this,
            [this](quint64 id, quint64 generation, const QByteArray& bytes) {
                onReceived(id, generation, bytes);
            });
    connect(line_, &SerialLine::failed, this,
            [this](quint64 id, int event, bool gone) { onFailed(id, event, gone); });
    const std::shared_future<OpenResult> outcome = line_->outcome();
    if (hasOpenHandler()) {
        if (outcome.wait_for(kOpenPatience) != std::future_status::ready) {
            return OpenResult::Pending;
        }
    } else {
        outcome.wait();
    }
    const OpenResult result = outcome.get();
    if (result == OpenResult::Ok) {
        opened_ = true;
    } else {
        release();
    }
    return result;
}

void QtSerialPort::close() {
    if (line_ != nullptr && !opened_) {
        givenUp_.insert(line_->id, linePort_);
    }
    release();
}

void QtSerialPort::release() {
    if (line_ != nullptr) {
        line_->close();  // the line ends by itself from here on
        line_ = nullptr;
    }
    opened_ = false;
    input_.clear();
    output_.clear();
    flushWanted_ = false;
}

bool QtSerialPort::openPending(int portNumber) const {
    if (line_ != nullptr && !opened_ && linePort_ == portNumber) {
        return true;
    }
    for (auto it = givenUp_.cbegin(); it != givenUp_.cend(); ++it) {
        if (it.value() == portNumber) {
            return true;
        }
    }
    return false;
}

void QtSerialPort::onOpened(quint64 id, OpenResult result) {
    if (givenUp_.remove(id) > 0 || line_ == nullptr || line_->id != id || opened_) {
        return;  // a given-up line closes what it opened by itself
    }
    if (result == OpenResult::Ok) {
        opened_ = true;
    } else {
        release();
    }
    reportOpen(result);
}

// Written bytes go to the line from the event loop, as QSerialPort's own writes do, so that a
// discardInput that follows the write empties the line before the request leaves, not after
// (when it might drop a quick reply).
void QtSerialPort::write(const QByteArray& bytes) {
    if (isOpen()) {
        output_ += bytes;
        sendSoon();
    }
}

void QtSerialPort::discardInput() {
    input_.clear();
    if (isOpen()) {
        line_->discardInput(++generation_);
    }
}

void QtSerialPort::discardOutput() {
    if (isOpen()) {
        flushWanted_ = true;
        sendSoon();
    }
}

void QtSerialPort::sendSoon() {
    if (sendQueued_) {
        return;
    }
    sendQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        sendQueued_ = false;
        if (isOpen()) {
            line_->send(std::exchange(output_, {}));
            if (std::exchange(flushWanted_, false)) {
                line_->flush();
            }
        }
    });
}

QByteArray QtSerialPort::readAll() {
    return std::exchange(input_, {});
}

void QtSerialPort::onReceived(quint64 id, quint64 generation, const QByteArray& bytes) {
    if (!isOpen() || line_->id != id || generation != generation_) {
        return;  // read before the last discard, or from a line let go of
    }
    input_ += bytes;
    // As the receive event of a serial control: raised as bytes arrive, once the threshold
    // is reached; a threshold of 0 raises none.
    if (threshold_ > 0 && input_.size() >= threshold_) {
        raiseEvent(kComEvReceive);
    }
}

void QtSerialPort::onFailed(quint64 id, int event, bool gone) {
    if (!isOpen() || line_->id != id) {
        return;
    }
    if (gone) {
        release();
    }
    raiseEvent(event);
}

std::unique_ptr<SerialPort> makeQtSerialPort(const PortMap& ports) {
    return std::make_unique<QtSerialPort>(ports);
}

}  // namespace kelvora
