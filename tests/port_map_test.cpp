#include <gtest/gtest.h>

#include "modbus/port_map.h"

namespace kelvora {
namespace {

TEST(PortMap, UsbThenAcmThenTheRestInNaturalOrderAndNothingBeyond) {
    PortMap map = PortMap::fromDevices(
        {"/dev/ttyS10", "/dev/ttyACM0", "ttyS2", "/dev/ttyUSB10", "/dev/ttyUSB9", "/dev/ttyAMA0"});
    map.assign(2, "/tmp/meter");  // --port 2=/tmp/meter
    map.assign(16, "/dev/x");
    const QStringList expected = {"/dev/ttyUSB9", "/tmp/meter", "/dev/ttyACM0",
                                  "/dev/ttyAMA0", "ttyS2",      "/dev/ttyS10"};
    for (int n = 0; n <= 17; ++n) {
        EXPECT_EQ(map.deviceFor(n), n == 16 ? "/dev/x" : expected.value(n - 1)) << n;
    }
    QStringList twenty;
    for (int n = 0; n < 20; ++n) twenty << QStringLiteral("/dev/ttyS%1").arg(n);
    EXPECT_TRUE(PortMap::fromDevices(twenty).deviceFor(17).isEmpty());
    EXPECT_TRUE(PortMap::naturalLess("ttyS99999999999999999999", "ttyS100000000000000000000"));
}

TEST(PortMap, ARefreshKeepsThePortsAssignedByHand) {
    PortMap system = PortMap::fromSystem();
    system.assign(3, QStringLiteral("/dev/meter"));
    system.assign(16, QStringLiteral("/dev/other"));
    system.refresh();
    EXPECT_EQ(system.deviceFor(3) + system.deviceFor(16), QStringLiteral("/dev/meter/dev/other"));

    PortMap fixed = PortMap::fromDevices({"/dev/ttyS0"});
    fixed.refresh();  // not following the system: nothing is asked
    EXPECT_EQ(fixed.deviceFor(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_TRUE(fixed.deviceFor(2).isEmpty());
}

}  // namespace
}  // namespace kelvora
