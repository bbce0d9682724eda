#include <gtest/gtest.h>
#include <windows.h>

#include "formats/text_codec.h"
#include "modbus/port_map.h"
#include "platform/qt_serial_port.h"
#include "platform/real_seams.h"

namespace kelvora {
namespace {

// Port n is COMn. Ports from COM10 on open only as "\\.\COMn", which the adapter must reach
// too: the test machine has a terminal behind COM12 and nothing behind COM2 and COM13.
TEST(Windows, PortNumbersOpenTheirComDevicesFromOneToSixteen) {
    QtSerialPort port(PortMap::comPorts());
    for (const int number : {2, 12, 13}) {
        port.setPortNumber(number);
        EXPECT_EQ(port.device(), QStringLiteral("COM%1").arg(number));
        EXPECT_EQ(port.open() == OpenResult::Ok, number == 12) << number;
        port.close();
    }
    EXPECT_EQ(PortMap::comPorts().deviceFor(16), QStringLiteral("COM16"));
    EXPECT_TRUE(PortMap::comPorts().deviceFor(17).isEmpty());
}

// Text files in the ANSI code page (run under a Chinese locale: 936, GBK), or UTF-8 where the
// page has no ρ and Ω; saving starts in c:\Kelvora.
TEST(Windows, TextFilesUseTheAnsiCodePageAndSavingStartsInTheKelvoraFolder) {
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_EQ(systemTextCharset(), QByteArray("CP936"));
    EXPECT_EQ(encodeText(QStringLiteral("读取 5.0Ωm ρ"), systemTextCharset()),
              QByteArray("\xB6\xC1\xC8\xA1 5.0\xA6\xB8m \xA6\xD1"));
    const std::pair<unsigned, const char*> pages[] = {
        {936, "CP936"},  {54936, "CP54936"}, {1253, "CP1253"}, {65001, "CP65001"},
        {1252, "UTF-8"}, {1251, "UTF-8"},    {932, "CP932"}};
    for (const auto& [page, charset] : pages) {
        EXPECT_EQ(textCharsetForCodePage(page), QByteArray(charset)) << page;
    }
    EXPECT_EQ(encodeText(QStringLiteral("ρΩ"), "CP1253"), QByteArray("\xF1\xD9"));
    EXPECT_EQ(defaultSaveFolderForSystem(), QStringLiteral("c:\\Kelvora"));
}

}  // namespace
}  // namespace kelvora
