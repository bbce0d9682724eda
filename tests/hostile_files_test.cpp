#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "formats/text_codec.h"
#include "save_test_support.h"
#include "visit/report_records.h"

namespace kelvora::testing {
namespace {

const QString kHeader =
    QStringLiteral("NO.,R,ρ,ρLenght,Rc,Rp,I,V,R/Ω,ρ/Ωm,ρLenght/m,Rc/Ω,Rp/Ω,I/A,V/V\r\n");
const QString kRecords = kHeader + QStringLiteral(
                                       "1,3.99Ω,,,2.00KΩ,3.00KΩ,,,3.99,,,2000,3000,,\r\n"
                                       "2,,12.0Ωm,5.0m,,,,,,12,5,,,,\r\n");

#ifndef _WIN32
const QByteArray kSurvey = "a,rho\n1,100\n2,120\n4,150\n8,160\n";

QByteArray utf16(const QString& text) {
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

mode_t kindOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}
bool isFifo(const QString& path) {
    return kindOf(path) == S_IFIFO;
}

struct Case {
    const char* what;
    QStringList arguments;  // run in the folder of the files below
    int exitCode;
    const char* saying;  // in the one stderr line; nullptr: none
};

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const std::pair<const char*, QByteArray> files[] = {
            {"r.csv", "\xEF\xBB\xBF" + kRecords.toUtf8()},
            {"s.csv", kSurvey},
            {"old.pdf", "old report"},
            {"quote.csv", kHeader.toUtf8() + "1,\"3.99Ω,,,,,,,3.99,,,,,,\r\n2,,,,,,,,,,,,,,\r\n"},
            {"extra.csv", kHeader.toUtf8() + "1,3,99Ω,,,,,,,3.99,,,,,,\r\n"},
            {"utf16.csv", utf16(kRecords)},
            {"gbk.csv", *encodeText(kRecords, "GBK")},
            {"gbkforeign.csv", *encodeText(QStringLiteral("编号,电阻\r\n1,3\r\n"), "GBK")},
            {"survey16.csv", utf16(QString::fromLatin1(kSurvey))},
            {"odd.csv", kSurvey + "16,-5\n32,nan\n64,1e300\n"},
            {"disagree.csv", (kHeader + "1,3.5Ω,,,,,,,12,,,,,,\r\n2,12Ω,,,,,,,3.5,,,,,,\r\n"
                                        "3,3.5Ω,,,,,,,,,,,,,\r\n4,-5Ω,,,,,,,-5,,,,,,\r\n"
                                        "5,,12.0Ωm,5.0m,,,,,,12,5,,,,\r\n"
                                        "6,,13.0Ωm,10.0m,,,,,,130,10,,,,\r\n")
                                 .toUtf8()}};
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(writeBytes(dir.filePath(name), bytes));
        }
        ASSERT_TRUE(QFile::link(dir.filePath("r.csv"), dir.filePath("link.pdf")));
        // The save follows links: as root a broken guard could replace the link's target, so
        // root gets a device node of its own (the full device's numbers) to point at.
        if (::geteuid() == 0) {
            ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)),
                      0);
        }
        ASSERT_TRUE(QFile::link(device, dir.filePath("full.pdf")));
        ASSERT_EQ(::link(QFile::encodeName(dir.filePath("r.csv")).constData(),
                         QFile::encodeName(dir.filePath("hard.pdf")).constData()),
                  0);
        for (const char* name : {"fifo.pdf", "fifo.csv"}) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600), 0);
        }
        QFile big(dir.filePath("big.csv"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(17) << 20));
    }

    void check(const Case& c) {
        SCOPED_TRACE(c.what);
        QDir folder(dir.path());
        std::map<QString, QByteArray> before;
        const QStringList names = folder.entryList(QDir::Files | QDir::System);
        for (const QString& name : names) {
            if (kindOf(folder.filePath(name)) == S_IFREG) {
                before[name] = readBytes(folder.filePath(name));
            }
        }
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.insert("LC_ALL", "zh_CN.UTF-8");  // the system's reasons stay English
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(KELVORA_BINARY_DIR "/kelvora"), c.arguments);
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            FAIL() << "still running";
        }
        EXPECT_EQ(program.exitCode(), c.exitCode);
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        EXPECT_EQ(errors.count(QLatin1Char('\n')), c.saying ? 1 : 0) << qPrintable(errors);
        EXPECT_EQ(errors.isEmpty(), c.saying == nullptr) << qPrintable(errors);
        if (c.saying) {
            EXPECT_TRUE(errors.contains(QString::fromUtf8(c.saying))) << qPrintable(errors);
        }
        for (const auto& [name, bytes] : before) {
            EXPECT_EQ(readBytes(folder.filePath(name)), bytes) << qPrintable(name);
        }
        QStringList after = folder.entryList(QDir::Files | QDir::System);
        after.removeAll(QStringLiteral("o.pdf"));
        EXPECT_EQ(after, names);  // no temporary file left, nothing replaced by another kind
        EXPECT_TRUE(isFifo(dir.filePath("fifo.pdf")) && isFifo(dir.filePath("fifo.csv")));
        EXPECT_EQ(QFileInfo(dir.filePath("full.pdf")).symLinkTarget(), device);
        struct stat full {};
        EXPECT_TRUE(::stat(QFile::encodeName(device).constData(), &full) == 0 &&
                    S_ISCHR(full.st_mode));
        QFile::remove(dir.filePath("o.pdf"));
    }

    QTemporaryDir dir;
    const QString device = ::geteuid() == 0 ? dir.filePath("full") : QStringLiteral("/dev/full");
};

TEST_F(HostileFiles, ReportAndSoilModelRefuseOrReadEachCleanly) {
    const Case cases[] = {
        {"output is input", {"--report", "r.csv", "r.csv"}, 1, "records file"},
        {"through a link", {"--report", "r.csv", "link.pdf"}, 1, "records file"},
        {"another spelling", {"--report", "r.csv", "./r.csv"}, 1, "records file"},
        {"hard link", {"--report", "r.csv", "hard.pdf"}, 1, "records file"},
        {"FIFO target", {"--report", "r.csv", "fifo.pdf"}, 1, "fifo.pdf: not a regular file"},
        {"device target", {"--report", "r.csv", "full.pdf"}, 1, "full.pdf: not a regular file"},
        {"empty output", {"--report", "r.csv", ""}, 2, "a file name is empty"},
        {"device input", {"--report", "/dev/zero", "o.pdf"}, 1, "/dev/zero: not a regular"},
        {"FIFO input", {"--report", "fifo.csv", "o.pdf"}, 1, "fifo.csv: not a regular"},
        {"over the cap", {"--report", "big.csv", "o.pdf"}, 1, "17825792 bytes, more than"},
        {"unclosed quote", {"--report", "quote.csv", "o.pdf"}, 1, "line 2: a quote"},
        {"extra fields", {"--report", "extra.csv", "o.pdf"}, 1, "line 2: 16 fields"},
        {"UTF-16", {"--report", "utf16.csv", "o.pdf"}, 0, nullptr},
        {"GBK re-save", {"--report", "gbk.csv", "o.pdf"}, 0, nullptr},
        {"GBK foreign", {"--report", "gbkforeign.csv", "o.pdf"}, 1, "read as GBK"},
        {"impossible readings", {"--report", "disagree.csv", "o.pdf"}, 0, nullptr},
        {"limit typo", {"--report", "r.csv", "o.pdf", "--limit", "1e21"}, 2, "a typo"},
        {"twice",
         {"--report", "r.csv", "o.pdf", "--lang", "en", "--lang", "zh"},
         2,
         "--lang is given twice"},
        {"soil twice", {"--soil-model", "s.csv", "--soil-model=s.csv"}, 2, "given twice"},
        {"history twice", {"--history", "A", "--history", "B"}, 2, "--history is given twice"},
        {"soil device", {"--soil-model", "/dev/zero"}, 1, "/dev/zero: not a regular file"},
        {"soil FIFO", {"--soil-model", "fifo.csv"}, 1, "fifo.csv: not a regular file"},
        {"soil cap", {"--soil-model", "big.csv"}, 1, "bytes, more than the 16 MiB"},
        {"soil quote", {"--soil-model", "quote.csv"}, 1, "quote.csv: line 2: a quote"},
        {"soil extra", {"--soil-model", "extra.csv"}, 1, "line 2: 16 fields"},
        {"soil UTF-16", {"--soil-model", "survey16.csv"}, 0, nullptr},
        {"soil GBK", {"--soil-model", "gbk.csv", "--layers", "1"}, 0, nullptr},
        {"soil odd numbers", {"--soil-model", "odd.csv"}, 0, "left out 3 rows"},
        {"soil disagreement", {"--soil-model", "disagree.csv", "--layers", "1"}, 0, "disagree"},
        {"missing input", {"--soil-model", "none.csv"}, 1, "No such file or directory"},
    };
    for (const Case& c : cases) {
        check(c);
    }
}

#endif

// A reading that cannot be the meter's is listed with its reason, never judged.
TEST(HostileReadings, UnreadableRecordsAreNotJudged) {
    QString error;
    const auto records = report::recordsFromCsv(
        (kHeader + "1,3.5Ω,,,,,,,12,,,,,,\r\n2,12Ω,,,,,,,3.5,,,,,,\r\n3,3.5Ω,,,,,,,,,,,,,\r\n"
                   "4,-5Ω,,,,,,,-5,,,,,,\r\n5,1Ω,,,,,,,nan,,,,,,\r\n6,1Ω,,,,,,,1e300,,,,,,\r\n"
                   "7,\"1\n2Ω\",,,,,,,12,,,,,,\r\n8,\"3,99Ω\",,,,,,,3.99,,,,,,\r\n")
            .toUtf8(),
        &error);
    ASSERT_TRUE(records) << qPrintable(error);
    ASSERT_EQ(records->size(), 8u);
    for (size_t k = 0; k < records->size(); ++k) {
        const report::ReportRecord& record = (*records)[k];
        EXPECT_EQ(record.missing, k < 7) << k;  // the last: a decimal comma, read as before
        EXPECT_EQ(record.unreadable.isEmpty(), k == 7) << k;
    }
}

}  // namespace
}  // namespace kelvora::testing
