#include "platform/serial_line.h"

#include <QEvent>
#include <QHash>
#include <QMutex>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include "platform/qt_serial_port.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace kelvora {

namespace {

constexpr qint64 kReceiveBufferBytes = 1024;
// A device is opened again only once its last line has let go of it (an exclusive device
// would otherwise read as in use), but a close that hangs does not hold the next open for ever.
constexpr auto kPreviousCloseWait = std::chrono::seconds(1);

QMutex closingMutex;
QHash<QString, std::shared_future<void>>& lastClose() {
    static QHash<QString, std::shared_future<void>> byDevice;
    return byDevice;
}

}  // namespace

SerialLine::SerialLine(const QString& device, quint64 lineId, Hook beforeOpen)
    : id(lineId),
      device_(device),
      beforeOpen_(std::move(beforeOpen)),
      port_(new QSerialPort(this)),
      outcome_(result_.get_future().share()),
      released_(closed_.get_future().share()) {
    connect(port_, &QSerialPort::readyRead, this,
            [this] { emit received(id, generation_, port_->readAll()); });
    connect(port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onError(error); });
}

SerialLine* SerialLine::start(const QString& device, quint64 id, const Hook& beforeOpen) {
    auto* line = new SerialLine(device, id, beforeOpen);
    std::shared_future<void> previous;
    {
        QMutexLocker lock(&closingMutex);
        previous = lastClose().value(device);
    }
    auto* thread = new QThread;
    line->moveToThread(thread);
    connect(thread, &QThread::started, line, [line, previous] {
        if (previous.valid()) {
            previous.wait_for(kPreviousCloseWait);
        }
        line->open();
    });
    connect(thread, &QThread::finished, line, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    return line;
}

void SerialLine::open() {
    if (beforeOpen_) {
        beforeOpen_(device_);
    }
    OpenResult result = OpenResult::Ok;
    {
        port_->setPortName(device_);
        port_->setBaudRate(QSerialPort::Baud9600);
        port_->setDataBits(QSerialPort::Data8);
        port_->setParity(QSerialPort::NoParity);
        port_->setStopBits(QSerialPort::OneStop);
        port_->setFlowControl(QSerialPort::NoFlowControl);
        port_->setReadBufferSize(kReceiveBufferBytes);
        port_->clearError();
        opening_ = true;
        if (!port_->open(QIODevice::ReadWrite)) {
            result = openOutcome(DeviceAccess::Usable, port_->error());
            result = result == OpenResult::Ok ? OpenResult::OtherFailure : result;
            port_->clearError();
        }
        opening_ = false;
    }
    if (result == OpenResult::Ok) {
        if (closing_) {
            port_->close();  // given up while it opened
        } else {
            watchForHangUp();
        }
    }
    result_.set_value(result);
    emit opened(id, static_cast<int>(result));
}

void SerialLine::send(const QByteArray& bytes) {
    QMetaObject::invokeMethod(this, [this, bytes] {
        if (port_->isOpen() && !bytes.isEmpty()) {
            port_->write(bytes);
        }
    });
}

void SerialLine::flush() {
    // Nothing queued is dropped: a request cut short garbles the line. What is queued is
    // pushed to the driver now; at 9600 baud eight bytes leave in about 8 ms.
    QMetaObject::invokeMethod(this, [this] {
        if (port_->isOpen()) {
            port_->flush();
        }
    });
}

void SerialLine::discardInput(quint64 generation) {
    QMetaObject::invokeMethod(this, [this, generation] {
        generation_ = generation;
        if (port_->isOpen()) {
            port_->clear(QSerialPort::Input);
        }
    });
}

void SerialLine::close() {
    const bool failed = outcome_.wait_for(std::chrono::seconds(0)) == std::future_status::ready &&
                        outcome_.get() != OpenResult::Ok;
    if (!failed) {
        QMutexLocker lock(&closingMutex);
        lastClose().insert(device_, released_);
    }
    closing_ = true;
    QMetaObject::invokeMethod(this, [this] { finish(); });
}

void SerialLine::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    port_->close();
    closed_.set_value();
    thread()->quit();
}

void SerialLine::onError(QSerialPort::SerialPortError error) {
    if (opening_ || error == QSerialPort::NoError || !port_->isOpen()) {
        return;  // open() reports its own failures
    }
    const PortErrorMeaning meaning = meaningOf(error);
    if (meaning.deviceGone) {
        // Closing from inside QSerialPort's own notification is not safe; do it next.
        QTimer::singleShot(0, this, [this] { deviceGone(); });
    } else if (meaning.event != 0) {
        emit failed(id, meaning.event, false);
    }
}

void SerialLine::deviceGone() {
    if (port_->isOpen()) {
        port_->close();
        emit failed(id, kComEventDeviceGone, true);
    }
}

// A hung-up terminal stays readable for ever. Depending on the Qt version, QSerialPort either
// fails the read (a ReadError, handled in onError) or reads 0 bytes, takes that for "nothing
// yet" and polls again at once: a busy loop. Its read notifier is watched so that a hang-up
// with nothing left to read closes the port in either case.
void SerialLine::watchForHangUp() {
#ifdef Q_OS_UNIX
    const auto notifiers = port_->findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly);
    for (QSocketNotifier* notifier : notifiers) {
        if (notifier->type() == QSocketNotifier::Read) {
            notifier->installEventFilter(this);
        }
    }
#endif
}

bool SerialLine::eventFilter(QObject* watched, QEvent* event) {
#ifdef Q_OS_UNIX
    if (event->type() == QEvent::SockAct && port_->isOpen()) {
        pollfd line{port_->handle(), POLLIN, 0};
        int waiting = 0;
        const bool hungUp = ::poll(&line, 1, 0) > 0 &&
                            (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 &&
                            (::ioctl(port_->handle(), FIONREAD, &waiting) != 0 || waiting <= 0);
        if (hungUp) {
            static_cast<QSocketNotifier*>(watched)->setEnabled(false);
            QTimer::singleShot(0, this, [this] { deviceGone(); });
            return true;
        }
    }
#endif
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvora
