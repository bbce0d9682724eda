#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>

#include "platform/pty_meter.h"
#include "platform/qt_serial_port.h"
#include "support/fake_serial_port.h"
#include "support/pty_form.h"

namespace kelvora {
namespace {

using testing::bytes;
using testing::hex;
using testing::waitUntil;

const QByteArray kHandshake = bytes("01 03 00 01 55 77 6B 7C");

// The adapter on port 3, open, against the simulated meter on a pseudo-terminal.
class SerialAdapterOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(meter.start(&why)) << why.toStdString();
        ports.assign(3, meter.devicePath());
        port = std::make_unique<QtSerialPort>(ports);
        port->setEventHandler([this](int code) { events << code; });
        port->setPortNumber(3);
        ASSERT_EQ(port->open(), OpenResult::Ok);
    }

    // As the window sends: threshold, write, both sides discarded.
    void send(const QByteArray& request, int threshold) {
        port->setReceiveThreshold(threshold);
        port->write(request);
        port->discardInput();
        port->discardOutput();
    }
    qsizetype received() const { return events.count(kComEvReceive); }

    PtyMeter meter;
    PortMap ports;
    std::unique_ptr<QtSerialPort> port;
    QList<int> events;
};

TEST_F(SerialAdapterOnPty, NoEventBelowTheThresholdAndOneAtIt) {
    meter.setFaults({false, 0, false, 6, 400});  // six bytes, then the last one 400 ms later
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return port->bytesWaiting() >= 6; }));
    EXPECT_EQ(received(), 0);
    ASSERT_TRUE(waitUntil([&] { return received() >= 1; }));
    testing::processEventsFor(100);
    EXPECT_EQ(received(), 1);
    EXPECT_EQ(hex(port->readAll()), "01 03 02 AA BB 86 97");
}

TEST_F(SerialAdapterOnPty, ARequestArrivesWholeThoughDiscardOutputFollowsAtOnce) {
    port->write(QByteArray(600, '\x55'));  // still queued: the event loop has not run
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return received() == 1; }));
    // Nothing queued is dropped: older bytes first, then the request, whole.
    EXPECT_EQ(hex(meter.bytesReceived()), hex(QByteArray(600, '\x55') + kHandshake));
    EXPECT_EQ(meter.requests(), QList<QByteArray>{kHandshake});
}

TEST_F(SerialAdapterOnPty, TheDeviceGoingAwayClosesThePort) {
    meter.hangUp();  // no request in flight: the read side alone must notice
    ASSERT_TRUE(waitUntil([&] { return events.contains(kComEventDeviceGone); }));
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(events.count(kComEventDeviceGone), 1);
    EXPECT_EQ(port->open(), OpenResult::InvalidPort);
}

// Qt says "permission" both for a device another program holds and for one this user may not
// open; only the first is in use. No device is an invalid number; a file that is no serial line
// fails in another way.
TEST_F(SerialAdapterOnPty, OnlyAHeldDeviceIsInUse) {
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
    PortMap map = ports;
    map.assign(5, QStringLiteral("/dev/kelvora-no-such-device"));
    map.assign(6, dir.filePath("plain"));
    map.assign(7, dir.filePath("locked"));
    for (int number : {6, 7}) ASSERT_TRUE(QFile(map.deviceFor(number)).open(QIODevice::WriteOnly));
    QFile::setPermissions(map.deviceFor(7), {});
    const auto openAs = [&map](int number) {
        QtSerialPort other(map);
        other.setPortNumber(number);
        const OpenResult result = other.open();
        EXPECT_EQ(other.isOpen(), result == OpenResult::Ok);
        return result;
    };
    for (const auto& [number, result] : {std::pair{3, OpenResult::InUse},
                                         {1, OpenResult::InvalidPort},
                                         {5, OpenResult::InvalidPort},
                                         {6, OpenResult::OtherFailure}})
        EXPECT_EQ(openAs(number), result) << number;
    const pid_t child = fork();  // root may open anything: ask as nobody
    if (child == 0)
        _exit(geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0) ? int(openAs(7)) : 99);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), int(OpenResult::PermissionDenied));
    port->close();
    EXPECT_EQ(openAs(3), OpenResult::Ok);
}

// An open that hangs (held by the hook until released) holds up neither the window nor the
// search: the clock ticks, the next port is tried and answers, the late success is closed,
// and Close ends the program while another open hangs.
TEST(SlowOpen, TheWindowAndTheSearchGoOnWhileAnOpenHangs) {
    PtyMeter slow, meter;
    QString why;
    ASSERT_TRUE(slow.start(&why) && meter.start(&why)) << why.toStdString();
    PortMap ports;
    ports.assign(1, slow.devicePath());
    ports.assign(2, meter.devicePath());
    // Shared with the line's thread, which may still be in the hook when the test ends.
    auto held = std::make_shared<QSemaphore>();
    auto adapter = std::make_unique<QtSerialPort>(ports);
    QtSerialPort& port = *adapter;
    port.setBeforeOpen([held, slowPath = slow.devicePath()](const QString& device) {
        if (device == slowPath)
            held->acquire();
    });
    Form1Seams seams;
    seams.serialPort = std::move(adapter);
    seams.clock = std::make_unique<testing::FixedClock>();
    seams.messageBoxes = std::make_unique<testing::FakeMessageBoxes>();
    int ends = 0;
    seams.endProgram = [&ends] { ++ends; };
    auto form = std::make_unique<Form1>(std::move(seams));
    int clockTicks = 0;
    QObject::connect(&form->Timer1, &QTimer::timeout, [&clockTicks] { ++clockTicks; });

    ASSERT_TRUE(waitUntil([&] { return form->comConnected; }, 10000));
    EXPECT_GE(clockTicks, 2);
    EXPECT_TRUE(port.openPending(1));
    held->release();
    ASSERT_TRUE(waitUntil([&] { return !port.openPending(1); }));
    QtSerialPort other(ports);
    other.setPortNumber(1);
    EXPECT_EQ(other.open(), OpenResult::Ok);  // the late success let go of the device
    other.close();

    form->comunication.stop();
    testing::processEventsFor(300);
    form->comConnected = false;  // the search again, from the hanging port
    form->comNumber = 1;
    form->Findcom.start();
    ASSERT_TRUE(waitUntil([&] { return port.openPending(1); }));
    form->Command5_Click();
    EXPECT_EQ(ends, 1);
    form.reset();  // does not wait for the open
    held->release();
}

}  // namespace
}  // namespace kelvora
