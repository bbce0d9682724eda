#include "platform/qt_serial_port.h"

#include <QEvent>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace kelvora {

namespace {

constexpr qint64 kReceiveBufferBytes = 1024;

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
    : QObject(parent), ports_(std::move(ports)) {
    connect(&port_, &QSerialPort::readyRead, this, [this] { onReadyRead(); });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPort::~QtSerialPort() {
    port_.close();
}

OpenResult QtSerialPort::open() {
    if (port_.isOpen()) {
        close();
    }
    if (number_ == kFirstPort) {
        ports_.refresh();  // a new search cycle: devices plugged in since get their numbers
    }
    const QString path = device();
    if (path.isEmpty()) {
        return OpenResult::InvalidPort;
    }
    const DeviceAccess access = checkDeviceAccess(path);
    if (access != DeviceAccess::Usable) {
        return openOutcome(access, QSerialPort::NoError);
    }
    port_.setPortName(path);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReceiveBufferBytes);
    port_.clearError();
    opening_ = true;
    const bool opened = port_.open(QIODevice::ReadWrite);
    opening_ = false;
    if (!opened) {
        const OpenResult result = openOutcome(access, port_.error());
        port_.clearError();
        return result == OpenResult::Ok ? OpenResult::OtherFailure : result;
    }
    ++generation_;
    watchForHangUp();
    return OpenResult::Ok;
}

void QtSerialPort::close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

void QtSerialPort::write(const QByteArray& bytes) {
    if (!port_.isOpen()) {
        return;
    }
    port_.write(bytes);
}

void QtSerialPort::discardInput() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Input);
    }
}

void QtSerialPort::discardOutput() {
    if (!port_.isOpen()) {
        return;
    }
    // Every request is followed at once by a discard of the transmit side, while the request
    // is still queued (QSerialPort writes from the event loop) or on its way out. Dropping
    // queued bytes would lose the request or cut an earlier one in half, which garbles the
    // line (and on some systems aborts the write with an error), so nothing is dropped: what is
    // queued is pushed to the driver now. At 9600 baud eight bytes leave in about 8 ms.
    port_.flush();
}

QByteArray QtSerialPort::readAll() {
    if (!port_.isOpen()) {
        return {};
    }
    return port_.readAll();
}

void QtSerialPort::onReadyRead() {
    // As the receive event of a serial control: raised as bytes arrive, once the threshold
    // is reached; a threshold of 0 raises none.
    if (threshold_ > 0 && port_.bytesAvailable() >= threshold_) {
        raiseEvent(kComEvReceive);
    }
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (opening_ || error == QSerialPort::NoError) {
        return;  // open() reports its own failures
    }
    const PortErrorMeaning meaning = meaningOf(error);
    if (meaning.deviceGone) {
        // Closing from inside QSerialPort's own notification is not safe; do it next.
        const quint64 generation = generation_;
        QTimer::singleShot(0, this, [this, generation] { deviceGone(generation); });
    } else if (meaning.event != 0 && port_.isOpen()) {
        raiseEvent(meaning.event);
    }
}

void QtSerialPort::deviceGone(quint64 generation) {
    if (generation != generation_ || !port_.isOpen()) {
        return;
    }
    close();
    raiseEvent(kComEventDeviceGone);
}

// A hung-up terminal stays readable for ever. Depending on the Qt version, QSerialPort either
// fails the read (a ReadError, handled in onError) or reads 0 bytes, takes that for "nothing
// yet" and polls again at once: a busy loop. Its read notifier is watched so that a hang-up
// with nothing left to read closes the port in either case.
void QtSerialPort::watchForHangUp() {
#ifdef Q_OS_UNIX
    const auto notifiers = port_.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly);
    for (QSocketNotifier* notifier : notifiers) {
        if (notifier->type() == QSocketNotifier::Read) {
            notifier->installEventFilter(this);
        }
    }
#endif
}

bool QtSerialPort::eventFilter(QObject* watched, QEvent* event) {
#ifdef Q_OS_UNIX
    if (event->type() == QEvent::SockAct && port_.isOpen()) {
        pollfd line{port_.handle(), POLLIN, 0};
        int waiting = 0;
        const bool hungUp = ::poll(&line, 1, 0) > 0 &&
                            (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 &&
                            (::ioctl(port_.handle(), FIONREAD, &waiting) != 0 || waiting <= 0);
        if (hungUp) {
            static_cast<QSocketNotifier*>(watched)->setEnabled(false);
            const quint64 generation = generation_;
            QTimer::singleShot(0, this, [this, generation] { deviceGone(generation); });
            return true;
        }
    }
#endif
    return QObject::eventFilter(watched, event);
}

std::unique_ptr<SerialPort> makeQtSerialPort(const PortMap& ports) {
    return std::make_unique<QtSerialPort>(ports);
}

}  // namespace kelvora
