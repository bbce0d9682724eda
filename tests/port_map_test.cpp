#include <gtest/gtest.h>

#include "link/port_map.h"

namespace kelvora {
namespace {

struct LessCase {
    const char* a;
    const char* b;
    bool less;
};

TEST(NaturalOrder, DigitRunsCompareByValue) {
    const LessCase cases[] = {
        {"ttyS2", "ttyS10", true},
        {"ttyS10", "ttyS2", false},
        {"ttyS2", "ttyS2", false},
        {"ttyS9", "ttyS10", true},
        {"ttyS0", "ttyS1", true},
        {"ttyACM0", "ttyS0", true},
        {"ttyS", "ttyS0", true},
        {"ttyS0", "ttyS", false},
        {"ttyS1", "ttyS01", true},
        {"ttyS01", "ttyS1", false},
        {"ttyS02", "ttyS1", false},
        {"a2b10", "a2b9", false},
        {"a2b9", "a2b10", true},
        {"ttyS100000000000000000001", "ttyS100000000000000000002", true},
    };
    for (const LessCase& c : cases) {
        EXPECT_EQ(PortMap::naturalLess(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.less)
            << c.a << " < " << c.b;
    }
}

struct OrderCase {
    const char* name;
    QStringList devices;
    QStringList ordered;
};

TEST(SerialDeviceOrder, UsbFirstThenAcmThenTheRestEachInNaturalOrder) {
    const OrderCase cases[] = {
        {"only built-in ports",
         {"/dev/ttyS10", "/dev/ttyS2", "/dev/ttyS0"},
         {"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10"}},
        {"USB before ACM before the rest",
         {"/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyAMA0", "/dev/ttyUSB0"},
         {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS0"}},
        {"ten and more",
         {"/dev/ttyUSB10", "/dev/ttyUSB9", "/dev/ttyACM11", "/dev/ttyACM2"},
         {"/dev/ttyUSB9", "/dev/ttyUSB10", "/dev/ttyACM2", "/dev/ttyACM11"}},
        {"bare names", {"ttyS1", "ttyUSB0"}, {"ttyUSB0", "ttyS1"}},
        {"none", {}, {}},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(PortMap::orderSerialDevices(c.devices), c.ordered) << c.name;
    }
}

TEST(PortNumbers, PortNIsTheNthDeviceAndNumbersBeyondAreInvalid) {
    const PortMap map =
        PortMap::fromDevices({"/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyACM0"});
    EXPECT_EQ(map.deviceFor(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.deviceFor(2), "/dev/ttyACM0");
    EXPECT_EQ(map.deviceFor(3), "/dev/ttyS0");
    EXPECT_EQ(map.deviceFor(4), "/dev/ttyS1");
    for (int n = 5; n <= kLastPort; ++n) {
        EXPECT_TRUE(map.deviceFor(n).isEmpty()) << n;
    }
    EXPECT_TRUE(map.deviceFor(0).isEmpty());
}

TEST(PortNumbers, NoMoreThanSixteenPorts) {
    QStringList devices;
    for (int n = 0; n < 20; ++n) {
        devices << QStringLiteral("/dev/ttyS%1").arg(n);
    }
    const PortMap map = PortMap::fromDevices(devices);
    EXPECT_EQ(map.deviceFor(16), "/dev/ttyS15");
    EXPECT_TRUE(map.deviceFor(17).isEmpty());
}

TEST(PortNumbers, ComPortsAreNamedByNumber) {
    const PortMap map = PortMap::comPorts();
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        EXPECT_EQ(map.deviceFor(n), QStringLiteral("COM%1").arg(n));
    }
}

TEST(PortNumbers, AssignReplacesWhatTheSystemGave) {
    PortMap map = PortMap::fromDevices({"/dev/ttyS0", "/dev/ttyS1"});
    map.assign(2, "/tmp/meter");
    map.assign(9, "/dev/ttyUSB4");
    EXPECT_EQ(map.deviceFor(1), "/dev/ttyS0");
    EXPECT_EQ(map.deviceFor(2), "/tmp/meter");
    EXPECT_EQ(map.deviceFor(9), "/dev/ttyUSB4");
}

}  // namespace
}  // namespace kelvora
