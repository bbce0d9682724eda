#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/meter_simulator.h"
#include "platform/pty_meter.h"
#include "platform/qt_serial_port.h"
#include "support/fake_serial_port.h"
#include "support/pty_form.h"

namespace kelvora {
namespace {

using testing::bytes;
using testing::hex;
using testing::processEventsFor;
using testing::waitUntil;

constexpr int kMeterPort = 3;
const QByteArray kHandshake = bytes("01 03 00 01 55 77 6B 7C");
const QByteArray kLive = bytes("01 03 00 02 00 0A 64 0D");

// ---- error translation (pure) ----

TEST(PortErrors, EveryQtErrorHasOneMeaning) {
    struct Case {
        QSerialPort::SerialPortError error;
        OpenResult atOpen;
        bool gone;
    };
    const Case cases[] = {
        {QSerialPort::NoError, OpenResult::Ok, false},
        {QSerialPort::DeviceNotFoundError, OpenResult::InvalidPort, true},
        {QSerialPort::PermissionError, OpenResult::InUse, false},
        {QSerialPort::OpenError, OpenResult::OtherFailure, false},
        {QSerialPort::WriteError, OpenResult::OtherFailure, true},
        {QSerialPort::ReadError, OpenResult::OtherFailure, true},
        {QSerialPort::ResourceError, OpenResult::OtherFailure, true},
        {QSerialPort::UnsupportedOperationError, OpenResult::OtherFailure, false},
        {QSerialPort::UnknownError, OpenResult::OtherFailure, false},
        {QSerialPort::TimeoutError, OpenResult::OtherFailure, false},
        {QSerialPort::NotOpenError, OpenResult::OtherFailure, false},
    };
    for (const Case& c : cases) {
        const PortErrorMeaning meaning = meaningOf(c.error);
        EXPECT_EQ(meaning.atOpen, c.atOpen) << c.error;
        EXPECT_EQ(meaning.deviceGone, c.gone) << c.error;
        EXPECT_EQ(meaning.event, c.gone ? kComEventDeviceGone : 0) << c.error;
    }
}

TEST(PortErrors, PermissionIsNeverReportedAsInUse) {
    struct Case {
        DeviceAccess access;
        QSerialPort::SerialPortError error;
        OpenResult result;
    };
    const Case cases[] = {
        {DeviceAccess::Missing, QSerialPort::NoError, OpenResult::InvalidPort},
        {DeviceAccess::Denied, QSerialPort::NoError, OpenResult::OtherFailure},
        {DeviceAccess::Denied, QSerialPort::PermissionError, OpenResult::OtherFailure},
        {DeviceAccess::Usable, QSerialPort::PermissionError, OpenResult::InUse},
        {DeviceAccess::Usable, QSerialPort::DeviceNotFoundError, OpenResult::InvalidPort},
        {DeviceAccess::Usable, QSerialPort::UnsupportedOperationError, OpenResult::OtherFailure},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(openOutcome(c.access, c.error), c.result)
            << static_cast<int>(c.access) << " " << c.error;
    }
}

TEST(PortErrors, DeviceAccessSeesMissingDevicesAndDanglingLinks) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString dangling = folder.filePath("gone");
    ASSERT_TRUE(QFile::link(folder.filePath("nothing-here"), dangling));
    EXPECT_EQ(checkDeviceAccess(folder.filePath("absent")), DeviceAccess::Missing);
    EXPECT_EQ(checkDeviceAccess(dangling), DeviceAccess::Missing);
    EXPECT_EQ(checkDeviceAccess(QStringLiteral("/dev/null")), DeviceAccess::Usable);
}

// ---- the adapter against the simulated meter ----

class SerialAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(meter.start(&why)) << why.toStdString();
        ports.assign(kMeterPort, meter.devicePath());
        port = std::make_unique<QtSerialPort>(ports);
        port->setEventHandler([this](int code) { events << code; });
        port->setPortNumber(kMeterPort);
    }

    int receiveEvents() const { return static_cast<int>(events.count(kComEvReceive)); }

    // Sends a request the way the window does: threshold, write, discard both sides.
    void send(const QByteArray& request, int threshold) {
        port->setReceiveThreshold(threshold);
        port->write(request);
        port->discardInput();
        port->discardOutput();
    }

    PtyMeter meter;
    PortMap ports;
    std::unique_ptr<QtSerialPort> port;
    QList<int> events;
};

TEST_F(SerialAdapter, OpensTheMeterAndGetsItsReplyAsOneEvent) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    EXPECT_TRUE(port->isOpen());
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return receiveEvents() == 1; }));
    EXPECT_EQ(hex(port->readAll()), "01 03 02 AA BB 86 97");
    EXPECT_EQ(port->bytesWaiting(), 0);
}

TEST_F(SerialAdapter, ARequestArrivesWholeAtTheMeter) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    send(kLive, 15);
    ASSERT_TRUE(waitUntil([&] { return meter.requests().size() == 1; }));
    EXPECT_EQ(hex(meter.requests().constFirst()), hex(kLive));
    EXPECT_EQ(hex(meter.bytesReceived()), hex(kLive));
}

TEST_F(SerialAdapter, DiscardOutputDropsOnlyWhatIsOlderThanTheRequest) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    // Nothing has left yet (the event loop has not run): the older bytes are still queued.
    port->write(QByteArray(600, '\x55'));
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return meter.requests().size() == 1; }));
    processEventsFor(100);
    EXPECT_EQ(hex(meter.bytesReceived()), hex(kHandshake));
}

TEST_F(SerialAdapter, NoEventBelowTheThresholdAndOneAtIt) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    MeterFaults faults;
    faults.splitAfter = 6;
    faults.splitGapMs = 400;
    meter.setFaults(faults);
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return port->bytesWaiting() >= 6; }));
    EXPECT_EQ(port->bytesWaiting(), 6);
    EXPECT_EQ(receiveEvents(), 0);
    ASSERT_TRUE(waitUntil([&] { return receiveEvents() >= 1; }));
    processEventsFor(100);
    EXPECT_EQ(receiveEvents(), 1);
    EXPECT_EQ(hex(port->readAll()), "01 03 02 AA BB 86 97");
}

TEST_F(SerialAdapter, AThresholdOfZeroRaisesNothing) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    send(kHandshake, 0);
    ASSERT_TRUE(waitUntil([&] { return port->bytesWaiting() == 7; }));
    processEventsFor(50);
    EXPECT_EQ(receiveEvents(), 0);
}

TEST_F(SerialAdapter, DiscardInputEmptiesTheReceiveSide) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    send(kHandshake, 15);  // 7 bytes never reach 15
    ASSERT_TRUE(waitUntil([&] { return port->bytesWaiting() == 7; }));
    port->discardInput();
    EXPECT_EQ(port->bytesWaiting(), 0);
    EXPECT_TRUE(port->readAll().isEmpty());
}

TEST_F(SerialAdapter, AClosedPortRaisesNoEventAndWritesNothing) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    MeterFaults late;
    late.replyDelayMs = 150;
    meter.setFaults(late);
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return meter.requests().size() == 1; }));
    port->close();
    EXPECT_FALSE(port->isOpen());
    send(kLive, 15);
    processEventsFor(400);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(meter.requests().size(), 1);
    EXPECT_TRUE(port->readAll().isEmpty());
}

TEST_F(SerialAdapter, ASecondOpenOfTheSameDeviceIsInUse) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    QtSerialPort other(ports);
    other.setPortNumber(kMeterPort);
    EXPECT_EQ(other.open(), OpenResult::InUse);
    EXPECT_FALSE(other.isOpen());
    port->close();
    EXPECT_EQ(other.open(), OpenResult::Ok);
}

TEST_F(SerialAdapter, NumbersWithoutADeviceAreInvalid) {
    PortMap map = ports;
    map.assign(5, QStringLiteral("/dev/kelvora-no-such-device"));
    QtSerialPort other(map);
    for (const int number : {1, 2, 5, 16}) {
        other.setPortNumber(number);
        EXPECT_EQ(other.open(), OpenResult::InvalidPort) << number;
        EXPECT_FALSE(other.isOpen());
    }
}

TEST_F(SerialAdapter, ADeviceThatIsNoSerialPortIsAnotherFailure) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("plain"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    PortMap map;
    map.assign(1, file);
    QtSerialPort other(map);
    other.setPortNumber(1);
    EXPECT_EQ(other.open(), OpenResult::OtherFailure);
}

TEST_F(SerialAdapter, AHungUpDeviceClosesThePortAndComesBackOnReopen) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    meter.hangUp();
    // Without a request in flight: the read side alone must notice.
    ASSERT_TRUE(waitUntil([&] { return events.contains(kComEventDeviceGone); }));
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(events.count(kComEventDeviceGone), 1);
    EXPECT_EQ(port->open(), OpenResult::InvalidPort);

    ASSERT_TRUE(meter.comeBack());
    ASSERT_EQ(port->open(), OpenResult::Ok);
    events.clear();
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return receiveEvents() == 1; }));
    EXPECT_EQ(hex(port->readAll()), "01 03 02 AA BB 86 97");
}

TEST_F(SerialAdapter, AWriteToAHungUpDeviceReportsItGone) {
    ASSERT_EQ(port->open(), OpenResult::Ok);
    meter.hangUp();
    send(kHandshake, 7);
    ASSERT_TRUE(waitUntil([&] { return events.contains(kComEventDeviceGone); }));
    EXPECT_FALSE(port->isOpen());
}

}  // namespace
}  // namespace kelvora
