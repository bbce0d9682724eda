#include <gtest/gtest.h>

#include "link/port_map.h"

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
    for (int n = 0; n < 20; ++n) {
        twenty << QStringLiteral("/dev/ttyS%1").arg(n);
    }
    EXPECT_TRUE(PortMap::fromDevices(twenty).deviceFor(17).isEmpty());
    EXPECT_TRUE(PortMap::naturalLess("ttyS99999999999999999999", "ttyS100000000000000000000"));
}

}  // namespace
}  // namespace kelvora
