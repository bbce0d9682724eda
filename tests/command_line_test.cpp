#include <gtest/gtest.h>

#include "app/command_line.h"

namespace kelvora {
namespace {

struct GoodCase {
    const char* name;
    QStringList arguments;
    QMap<int, QString> ports;
    bool demo;
    bool help;
};

TEST(CommandLineParsing, AcceptsPortsAndDemo) {
    const GoodCase cases[] = {
        {"nothing", {}, {}, false, false},
        {"demo", {"--demo"}, {}, true, false},
        {"one port", {"--port", "3=/dev/ttyUSB0"}, {{3, "/dev/ttyUSB0"}}, false, false},
        {"port with equals", {"--port=16=/dev/ttyS0"}, {{16, "/dev/ttyS0"}}, false, false},
        {"ports repeat",
         {"--port", "1=/dev/a", "--port", "12=/dev/b"},
         {{1, "/dev/a"}, {12, "/dev/b"}},
         false,
         false},
        {"path with equals", {"--port", "2=/tmp/x=y"}, {{2, "/tmp/x=y"}}, false, false},
        {"leading zero", {"--port", "03=COM3"}, {{3, "COM3"}}, false, false},
        {"demo and port",
         {"--demo", "--port", "5=/dev/ttyUSB0"},
         {{5, "/dev/ttyUSB0"}},
         true,
         false},
        {"help", {"--help"}, {}, false, true},
    };
    for (const GoodCase& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_TRUE(line.ok()) << c.name << ": " << line.error.toStdString();
        EXPECT_EQ(line.ports, c.ports) << c.name;
        EXPECT_EQ(line.demo, c.demo) << c.name;
        EXPECT_EQ(line.help, c.help) << c.name;
    }
}

struct BadCase {
    const char* name;
    QStringList arguments;
    const char* mentions;  // part of the message the user reads
};

TEST(CommandLineParsing, RejectsBadInputWithAClearMessage) {
    const BadCase cases[] = {
        {"port 0", {"--port", "0=/dev/x"}, "1 to 16"},
        {"port 17", {"--port", "17=/dev/x"}, "1 to 16"},
        {"negative", {"--port", "-1=/dev/x"}, "1 to 16"},
        {"plus sign", {"--port", "+3=/dev/x"}, "1 to 16"},
        {"not a number", {"--port", "three=/dev/x"}, "1 to 16"},
        {"huge number", {"--port", "99999999999=/dev/x"}, "1 to 16"},
        {"no number", {"--port", "=/dev/x"}, "1 to 16"},
        {"no equals", {"--port", "3"}, "N=DEVICE"},
        {"empty path", {"--port", "3="}, "empty"},
        {"missing value", {"--port"}, "N=DEVICE"},
        {"twice", {"--port", "3=/dev/a", "--port", "3=/dev/b"}, "twice"},
        {"unknown option", {"--fast"}, "--fast"},
        {"stray word", {"COM3"}, "COM3"},
        {"bad after good", {"--demo", "--nope"}, "--nope"},
    };
    for (const BadCase& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_FALSE(line.ok()) << c.name;
        EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.mentions)))
            << c.name << ": " << line.error.toStdString();
    }
}

TEST(CommandLineParsing, UsageNamesEveryOption) {
    const QString usage = commandLineUsage(QStringLiteral("kelvora"));
    for (const char* option : {"--port N=DEVICE", "--demo", "--help"}) {
        EXPECT_TRUE(usage.contains(QString::fromLatin1(option))) << option;
    }
}

}  // namespace
}  // namespace kelvora
