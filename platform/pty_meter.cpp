#include "platform/pty_meter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <climits>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#ifdef Q_OS_MACOS
#include <util.h>
#else
#include <pty.h>
#endif
#endif

namespace kelvora {

#ifdef Q_OS_UNIX

constexpr qsizetype kKeptBytes = 64 * 1024;

// Lives on the meter's thread; every member is touched only there.
class PtyMeterWorker : public QObject {
public:
    explicit PtyMeterWorker(QString linkPath) : linkPath_(std::move(linkPath)) { clock_.start(); }
    ~PtyMeterWorker() override { closePty(); }

    bool openPty(QString* error) {
        closePty();
        int master = -1;
        int slave = -1;
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
            return fail(error,
                        QStringLiteral("openpty: ") + QString::fromLocal8Bit(strerror(errno)));
        }
        // Raw both ways from the start: no echo, no line editing, no CR/LF translation.
        termios settings{};
        ::tcgetattr(slave, &settings);
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(slave, TCSANOW, &settings);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave, F_SETFD, FD_CLOEXEC);

        char name[PATH_MAX] = {};
        if (::ttyname_r(slave, name, sizeof name) != 0) {
            ::close(master);
            ::close(slave);
            return fail(error,
                        QStringLiteral("ttyname: ") + QString::fromLocal8Bit(strerror(errno)));
        }
        // Re-point the link in one step, so the path never leads to a half-made device.
        const QByteArray link = QFile::encodeName(linkPath_);
        const QByteArray fresh = link + ".new";
        ::unlink(fresh.constData());
        if (::symlink(name, fresh.constData()) != 0 ||
            ::rename(fresh.constData(), link.constData()) != 0) {
            ::close(master);
            ::close(slave);
            return fail(error,
                        QStringLiteral("symlink: ") + QString::fromLocal8Bit(strerror(errno)));
        }
        master_ = master;
        // Holding the slave open keeps the master readable while the program has the port
        // closed (between search ticks); the program's own open shares the same line.
        slave_ = slave;
        notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { readRequests(); });
        ++generation_;
        return true;
    }

    // Closing the master hangs up every open of the slave: the program sees the device go.
    void closePty() {
        if (master_ < 0) {
            return;
        }
        delete notifier_;
        notifier_ = nullptr;
        ::close(master_);
        ::close(slave_);
        master_ = -1;
        slave_ = -1;
        ++generation_;
        ::unlink(QFile::encodeName(linkPath_).constData());
    }

    bool present() const { return master_ >= 0; }
    MeterSimulator& simulator() { return simulator_; }
    QByteArray bytesReceived() const { return received_; }

private:
    static bool fail(QString* error, const QString& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    }

    void readRequests() {
        QByteArray bytes;
        char chunk[256];
        for (;;) {
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n > 0) {
                bytes.append(chunk, static_cast<int>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            break;  // EAGAIN: all read; EIO cannot happen while we hold the slave
        }
        if (bytes.isEmpty()) {
            return;
        }
        received_ += bytes;
        if (received_.size() > 2 * kKeptBytes) {  // the demo may run for days
            received_.remove(0, received_.size() - kKeptBytes);
        }
        const QList<MeterSimulator::Piece> pieces = simulator_.receive(bytes, clock_.elapsed());
        for (const MeterSimulator::Piece& piece : pieces) {
            if (piece.delayMs <= 0) {
                send(piece.bytes);
                continue;
            }
            const quint64 generation = generation_;
            QTimer::singleShot(piece.delayMs, Qt::PreciseTimer, this,
                               [this, generation, bytes = piece.bytes] {
                                   // A reply due after a hang-up goes nowhere.
                                   if (generation == generation_) {
                                       send(bytes);
                                   }
                               });
        }
    }

    void send(const QByteArray& bytes) {
        qsizetype done = 0;
        while (master_ >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.constData() + done,
                                      static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                break;  // nobody reads and the line is full: the rest is lost, as on a wire
            }
        }
    }

    QString linkPath_;
    int master_ = -1;
    int slave_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    quint64 generation_ = 0;
    QElapsedTimer clock_;
    MeterSimulator simulator_;
    QByteArray received_;
};

#else

// No pseudo-terminals here: the simulated meter cannot be hosted.
class PtyMeterWorker : public QObject {
public:
    explicit PtyMeterWorker(const QString&) {}
    bool openPty(QString* error) {
        if (error) {
            *error = QStringLiteral("pseudo-terminals are not available on this system");
        }
        return false;
    }
    void closePty() {}
    bool present() const { return false; }
    MeterSimulator& simulator() { return simulator_; }
    QByteArray bytesReceived() const { return {}; }

private:
    MeterSimulator simulator_;
};

#endif

PtyMeter::PtyMeter() : folder_(QDir::tempPath() + QStringLiteral("/kelvora-meter-XXXXXX")) {}

PtyMeter::~PtyMeter() {
    if (started_) {
        runOnMeterThread([this] { worker_->closePty(); });
        thread_.quit();
        thread_.wait();
    }
}

bool PtyMeter::start(QString* error) {
    if (started_) {
        return true;
    }
    if (!folder_.isValid()) {
        if (error) {
            *error = QStringLiteral("no temporary folder: ") + folder_.errorString();
        }
        return false;
    }
    worker_ = new PtyMeterWorker(folder_.filePath(QStringLiteral("meter")));
    worker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("simulated meter"));
    thread_.start();
    started_ = true;
    bool opened = false;
    runOnMeterThread([&] { opened = worker_->openPty(error); });
    return opened;
}

QString PtyMeter::devicePath() const {
    return folder_.filePath(QStringLiteral("meter"));
}

void PtyMeter::hangUp() {
    runOnMeterThread([this] { worker_->closePty(); });
}

bool PtyMeter::comeBack() {
    bool opened = false;
    runOnMeterThread([&] { opened = worker_->present() || worker_->openPty(nullptr); });
    return opened;
}

bool PtyMeter::isPresent() const {
    bool present = false;
    runOnMeterThread([&] { present = worker_->present(); });
    return present;
}

void PtyMeter::withSimulator(const std::function<void(MeterSimulator&)>& change) {
    runOnMeterThread([&] { change(worker_->simulator()); });
}

void PtyMeter::setFaults(const MeterFaults& faults) {
    withSimulator([&](MeterSimulator& meter) { meter.setFaults(faults); });
}

void PtyMeter::setLiveReading(const MeterReading& reading) {
    withSimulator([&](MeterSimulator& meter) { meter.setLiveReading(reading); });
}

void PtyMeter::setStoredRecords(const QList<MeterReading>& records) {
    withSimulator([&](MeterSimulator& meter) { meter.setStoredRecords(records); });
}

QList<QByteArray> PtyMeter::requests() {
    QList<QByteArray> seen;
    withSimulator([&](MeterSimulator& meter) { seen = meter.requests(); });
    return seen;
}

QByteArray PtyMeter::bytesReceived() {
    QByteArray bytes;
    runOnMeterThread([&] { bytes = worker_->bytesReceived(); });
    return bytes;
}

void PtyMeter::runOnMeterThread(const std::function<void()>& work) const {
    if (!started_) {
        return;
    }
    QMetaObject::invokeMethod(worker_, work, Qt::BlockingQueuedConnection);
}

}  // namespace kelvora
