#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "app/command_line.h"

namespace kelvora {
namespace {

TEST(CommandLine, GoodOptions) {
    const CommandLine line =
        parseCommandLine({"--demo", "--port", "03=/dev/ttyUSB0", "--port=16=/tmp/x=y"});
    EXPECT_TRUE(line.ok()) << line.error.toStdString();
    EXPECT_TRUE(line.demo);
    EXPECT_EQ(line.ports, (QMap<int, QString>{{3, "/dev/ttyUSB0"}, {16, "/tmp/x=y"}}));
    EXPECT_TRUE(parseCommandLine({}).ok());
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
    const CommandLine soil = parseCommandLine({"--soil-model", "s.csv", "--layers=3"});
    EXPECT_TRUE(soil.ok() && soil.soilModelFile == "s.csv" && soil.layers == 3);
    EXPECT_EQ(parseCommandLine({"--demo", "--lang", "en"}).language, Language::English);
    EXPECT_EQ(parseCommandLine({"--lang=zh", "--report", "r.csv", "o.pdf"}).language,
              Language::Chinese);
    EXPECT_FALSE(parseCommandLine({}).language);
}

TEST(CommandLine, EveryKindOfBadInputGetsAMessage) {
    const std::pair<QStringList, const char*> cases[] = {
        // arguments, part of the message
        {{"--port", "0=/dev/x"}, "1 to 16"},
        {{"--port", "17=/dev/x"}, "1 to 16"},
        {{"--port", "+3=/dev/x"}, "1 to 16"},
        {{"--port", "99999999999=/dev/x"}, "1 to 16"},
        {{"--port", "3"}, "N=DEVICE"},
        {{"--port"}, "N=DEVICE"},
        {{"--port", "3="}, "empty"},
        {{"--port", "3=/dev/a", "--port", "3=/dev/b"}, "twice"},
        {{"--demo", "--fast"}, "--fast"},
        {{"COM3"}, "COM3"},
        {{"--soil-model"}, "FILE"},
        {{"--soil-model", "s.csv", "--layers", "4"}, "1, 2 or 3"},
        {{"--soil-model=s.csv", "--layers=x"}, "1, 2 or 3"},
        {{"--layers", "2"}, "--soil-model"},
        {{"--soil-model", "--layers", "2"}, "FILE"},
        {{"--soil-model", "s.csv", "--demo"}, "on their own"},
        {{"--report", "r.csv"}, "OUT.pdf"},
        {{"--report", "r.csv", "o.pdf", "--limit", "0"}, "positive"},
        {{"--limit", "4"}, "--report"},
        {{"--lang", "fr"}, "zh or en"},
        {{"--lang=EN"}, "zh or en"},
        {{"--lang"}, "zh or en"},
        {{"--soil-model", "s.csv", "--lang", "en"}, "--soil-model"},
    };
    for (const auto& [arguments, mentions] : cases) {
        const CommandLine line = parseCommandLine(arguments);
        EXPECT_TRUE(!line.ok() && line.error.contains(mentions))
            << arguments.join(' ').toStdString() << ": " << line.error.toStdString();
    }
}

// Checked before the toolkit starts, so the toolkit's own options must pass untouched.
TEST(CommandLine, OwnOptionsAreTakenOutOfTheToolkitsOnes) {
    const QStringList raw = {"-platform", "xcb",    "--port", "3=/dev/x",
                             "-style",    "fusion", "--demo", "--port=4=/dev/y"};
    EXPECT_EQ(ownOptions(raw), QStringList({"--port", "3=/dev/x", "--demo", "--port=4=/dev/y"}));
    EXPECT_FALSE(parseCommandLine(ownOptions({"-platform", "--port", "17=/dev/x"})).ok());
    EXPECT_EQ(ownOptions({"--style=fusion", "-reverse", "-icon", "k.png", "--bogus", "x"}),
              QStringList({"--bogus", "x"}));
    EXPECT_EQ(ownOptions({"--soil-model", "-s.csv", "--layers", "2"}),
              QStringList({"--soil-model", "-s.csv", "--layers", "2"}));
}

#ifndef _WIN32
// Without a display the toolkit would abort; a wrong option must be reported first.
TEST(CommandLine, AWrongOptionEndsTheProgramWithoutADisplay) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    program.setProcessEnvironment(environment);
    for (const QStringList& arguments : {QStringList{"--bogus"}, QStringList{"--lang", "de"}}) {
        program.start(QStringLiteral(KELVORA_BINARY_DIR "/kelvora"), arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 2);
        EXPECT_TRUE(program.readAllStandardError().contains(arguments.last().toUtf8()));
    }
    program.start(QStringLiteral(KELVORA_BINARY_DIR "/kelvora"), {"--version"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QRegularExpression("^kelvora \\d+\\.\\d+\\.\\d+\n$")
                    .match(QString::fromUtf8(program.readAllStandardOutput()))
                    .hasMatch());
}

// A window without a display is one line and exit code 1, not the toolkit's abort; --help needs
// none. A device path that is not text would never open: a usage error naming it.
TEST(CommandLine, NoDisplayIsOneLineAndABadDevicePathAUsageError) {
    const QString kelvora = QStringLiteral(KELVORA_BINARY_DIR "/kelvora");
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(QString::fromLatin1(name));
    QProcessEnvironment deadX = bare;  // a platform plugin that cannot start
    deadX.insert("DISPLAY", ":97");
    deadX.insert("QT_QPA_PLATFORM", "xcb");
    const struct {
        QProcessEnvironment environment;
        QStringList arguments;
        int exitCode;
        const char* stderrPattern;
    } cases[] = {
        {bare, {}, 1, "^kelvora: no display \\(.+\\)\n$"},
        {bare, {"--demo"}, 1, "^kelvora: no display \\(.+\\)\n$"},
        {bare, {"--port", "3=/dev/null"}, 1, "^kelvora: no display \\(.+\\)\n$"},
        {deadX, {}, 1, "^kelvora: no display \\(.*:97.*\\)\n$"},
        {bare, {"--help"}, 0, "^$"},
        {bare,
         {"-c", "exec \"$0\" --port \"3=$(printf '/tmp/\\377')\"", kelvora},
         2,
         "^kelvora: \"3=/tmp/\\\\xFF\" is not text"},
    };
    for (const auto& c : cases) {
        QProcess program;
        program.setProcessEnvironment(c.environment);
        const bool shell = c.arguments.value(0) == "-c";
        program.start(shell ? QStringLiteral("/bin/sh") : kelvora, c.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        const QString error = QString::fromUtf8(program.readAllStandardError());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << error.toStdString();
        EXPECT_EQ(program.exitCode(), c.exitCode) << error.toStdString();
        EXPECT_TRUE(QRegularExpression(c.stderrPattern).match(error).hasMatch())
            << error.toStdString();
    }
}
#endif

}  // namespace
}  // namespace kelvora
