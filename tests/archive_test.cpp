#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include "app/archive_command.h"
#include "app/command_line.h"
#include "archive/archive.h"
#include "archive/archive_history.h"
#include "formats/csv_reader.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kelvora::archive {
namespace {

struct Change {
    std::vector<std::optional<double>> ohms;  // empty: an overload
    int baseline;
    double limit;
    std::optional<double> fromPrevious, fromBaseline;  // of the last visit
    unsigned flags;
};

TEST(ChangeRule, PreviousBaselineAndFlag) {
    const Change cases[] = {
        {{5.0}, 0, 10, {}, {}, 0},                            // first visit
        {{5.0, 5.995}, 0, 10, 19.9, 19.9, 0},                 // just under
        {{5.0, 6.0}, 0, 10, 20, 20, 0},                       // at the threshold
        {{5.0, 6.005}, 0, 10, 20.1, 20.1, FlagRise},          // over it
        {{5.0, 10.5}, 0, 10, 110, 110, FlagFail | FlagRise},  // fails its limit
        {{5.0, std::nullopt}, 0, 10, {}, {}, FlagOverload},   // an overload
        {{5.0, 8.0, 9.0}, 1, 10, 12.5, 12.5, 0},              // the baseline moved on
        {{4.0, 5.0, 4.0}, 5, 10, -20, 0, 0},                  // out of range: the first
        {{0.9, 1.05}, 0, 1, 16.7, 16.7, FlagFail},            // a small limit of its own
    };
    for (const Change& c : cases) {
        std::vector<PointValue> values;
        for (const std::optional<double>& ohms : c.ohms) {
            values.push_back({ohms, !ohms, c.limit});
        }
        const PointChange last = changesOf(values, c.baseline).back();
        EXPECT_EQ(last.fromPrevious.has_value(), c.fromPrevious.has_value()) << c.ohms.size();
        EXPECT_NEAR(last.fromPrevious.value_or(0), c.fromPrevious.value_or(0), 0.05);
        EXPECT_EQ(last.fromBaseline.has_value(), c.fromBaseline.has_value()) << c.ohms.size();
        EXPECT_NEAR(last.fromBaseline.value_or(0), c.fromBaseline.value_or(0), 0.05);
        EXPECT_EQ(last.flags, c.flags) << c.ohms.size() << " " << c.ohms.back().value_or(-1);
    }
}

report::ReportRecord earthRecord(int number, std::optional<double> ohms) {
    report::ReportRecord record;
    record.number = number;
    record.missing = false;
    record.mode = MeasuringMode::EarthResistance;
    record.texts[0] =
        ohms ? QString::number(*ohms, 'f', 2) + QStringLiteral("Ω") : QStringLiteral("OL");
    record.numbers[0] = ohms;
    return record;
}

// A visit whose record k belongs to points[k - 1] and reads ohms[k - 1].
VisitInput visitOf(const QString& site, const QString& date, const std::vector<double>& ohms,
                   const QStringList& points = {}) {
    VisitInput visit;
    visit.site[report::Project] = site;
    visit.site[report::TestDate] = date;
    visit.limitOhm = 10;
    for (size_t k = 0; k < ohms.size(); ++k) {
        visit.records.push_back(earthRecord(int(k) + 1, ohms[k]));
        if (int(k) < points.size()) {
            visit.points[int(k) + 1] = points[int(k)];
        }
    }
    return visit;
}

class ArchiveTest : public ::testing::Test {
protected:
    QString path(const char* name = "a.sqlite") const { return dir.filePath(QLatin1String(name)); }
    std::unique_ptr<Archive> open(const QString& file) {
        QString error;
        std::unique_ptr<Archive> archive = Archive::open(file, &error);
        EXPECT_TRUE(archive) << error.toStdString();
        return archive;
    }
    bool file(Archive& archive, const VisitInput& visit) {
        QString error;
        const std::optional<FilingResult> result = archive.file(visit, &error);
        EXPECT_TRUE(result) << error.toStdString();
        return result && result->added;
    }
    QTemporaryDir dir;
};

TEST_F(ArchiveTest, FilingOrMergingTwiceAddsNothing) {
    std::unique_ptr<Archive> archive = open(path());
    EXPECT_TRUE(file(*archive, visitOf("S", "2024-05-01", {5, 7}, {"A", "B"})));
    EXPECT_FALSE(file(*archive, visitOf("S", "2024-05-01", {5, 7}, {"A", "B"})));
    EXPECT_TRUE(file(*archive, visitOf("S", "2025-05-01", {5, 7}, {"A", "B"})));
    std::unique_ptr<Archive> other = open(path("b.sqlite"));
    file(*other, visitOf("S", "2025-05-01", {5, 7}, {"A", "B"}));
    file(*other, visitOf("S", "2026-05-01", {6.5, 7}, {"A", "B"}));  // A rises 30 %
    file(*other, visitOf("T", "2026-05-01", {1}, {"A"}));
    QString error;
    EXPECT_EQ(archive->merge(path("b.sqlite"), &error), std::optional<int>(2));
    EXPECT_EQ(archive->merge(path("b.sqlite"), &error), std::optional<int>(0));
    ASSERT_TRUE(archive->backup(path("copy.sqlite"), &error)) << error.toStdString();
    EXPECT_EQ(open(path("copy.sqlite"))->visits(1).size(), 3u);
    const std::vector<SiteSummary> sites = archive->sites();
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0].points, 2);
    EXPECT_EQ(sites[0].flaggedPoints, 1);
    EXPECT_EQ(archive->visits(sites[0].id).size(), 3u);
    EXPECT_EQ(archive->sites(QStringLiteral("t")).size(), 1u);
}

TEST_F(ArchiveTest, PointsHistoryLimitAndBaseline) {
    std::unique_ptr<Archive> archive = open(path());
    // Two readings of A in one visit: the later record is its value.
    file(*archive, visitOf("S", "2024-01-01", {9, 0.8}, {"A", "A"}));
    file(*archive, visitOf("S", "2025-01-01", {0.9}, {"A"}));
    file(*archive, visitOf("S", "2026-01-01", {1.1}, {"A"}));
    const qint64 point = *archive->pointId(*archive->siteId("S"), "A");
    QString error;
    ASSERT_TRUE(archive->setPointLimit(point, 1.0, &error));
    std::optional<PointHistory> history = archive->pointHistory(point);
    ASSERT_EQ(history->visits.size(), 3u);
    EXPECT_EQ(history->visits[0].record, 2);
    EXPECT_EQ(history->visits[0].readings, 2);
    EXPECT_EQ(history->visits[2].change.flags, unsigned(FlagFail | FlagRise));
    ASSERT_TRUE(archive->setBaseline(point, history->visits[1].visitId, &error));
    history = archive->pointHistory(point);
    EXPECT_NEAR(*history->visits[2].change.fromBaseline, 22.2, 0.1);
    EXPECT_FALSE(history->visits[1].change.fromBaseline);
    EXPECT_EQ(archive->previousValue("S", "A", "2026-01-01")->date, "2025-01-01");
    ASSERT_TRUE(archive->deleteVisit(history->visits[1].visitId, &error));
    EXPECT_EQ(archive->pointHistory(point)->visits.size(), 2u);
    EXPECT_EQ(archive->pointHistory(point)->baselineVisitId, 0);
}

TEST_F(ArchiveTest, NamesAreKeptAsTyped) {
    std::unique_ptr<Archive> archive = open(path());
    const QString names[] = {"它的 \"引号\" 'x'",
                             "100% _x_",
                             "a -- b",
                             "'; DROP TABLE site; --",
                             QString(500, QChar(0x5730)),
                             QString::fromUtf8("\u200fمحطة\u200e 1")};
    for (const QString& name : names) {
        file(*archive, visitOf(name, "2024-01-01", {1}, {name}));
        const std::optional<qint64> site = archive->siteId(name);
        ASSERT_TRUE(site);
        EXPECT_EQ(archive->pointNames(*site), QStringList{name});
        EXPECT_EQ(archive->sites(name).front().name, name);
    }
    EXPECT_EQ(archive->sites().size(), std::size(names));
    EXPECT_EQ(archive->sites("%").size(), 1u);
}

TEST_F(ArchiveTest, BadFilesAreRefusedAndLeftAsTheyWere) {
    file(*open(path("whole.sqlite")), visitOf("S", "2024-01-01", {1, 2, 3}));
    QFile whole(path("whole.sqlite"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QByteArray random(8192, 0);
    for (char& byte : random) {
        byte = char(QRandomGenerator::global()->generate());
    }
    sqlite3* other = nullptr;
    sqlite3_open(path("other.sqlite").toUtf8(), &other);
    sqlite3_exec(other, "CREATE TABLE t(x); INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QFile(path("other.sqlite")).copy(path("newer.sqlite"));
    Database newer;
    ASSERT_TRUE(newer.open(path("newer.sqlite"), 2 /* READWRITE */));
    newer.exec("PRAGMA application_id = 1263294017; PRAGMA user_version = 99");
    newer.close();
    const QByteArray contents[] = {random, whole.readAll().left(3 * 4096)};
    for (int k = 0; k < 2; ++k) {
        QFile out(path(k == 0 ? "random.sqlite" : "truncated.sqlite"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(contents[k]);
    }
    for (const char* name : {"random.sqlite", "truncated.sqlite", "other.sqlite", "newer.sqlite"}) {
        QFile bad(path(name));
        ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
        const QByteArray before = bad.readAll();
        bad.close();
        QString error;
        EXPECT_FALSE(Archive::open(path(name), &error)) << name;
        EXPECT_FALSE(error.isEmpty());
        ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
        EXPECT_EQ(bad.readAll(), before) << name;
    }
}

TEST_F(ArchiveTest, AReadOnlyFileReadsButRefusesFiling) {
    {
        std::unique_ptr<Archive> archive = open(path());
        file(*archive, visitOf("S", "2024-01-01", {1}, {"A"}));
        archive->database().exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    QFile(path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadUser);
    std::unique_ptr<Archive> archive = open(path());
    ASSERT_TRUE(archive->readOnly());
    EXPECT_EQ(archive->sites().size(), 1u);
    QString error;
    EXPECT_FALSE(archive->file(visitOf("S", "2025-01-01", {2}, {"A"}), &error));
    EXPECT_TRUE(error.contains("read-only"));
    EXPECT_EQ(archive->visits(*archive->siteId("S")).size(), 1u);
}

// An archive whose making was cut short after WAL was set (an empty database) is made again,
// and a backup is never put over the archive itself.
TEST_F(ArchiveTest, AnArchiveCutShortIsMadeAndABackupSparesTheArchive) {
    {
        Database empty;
        ASSERT_TRUE(empty.open(path(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
        ASSERT_TRUE(empty.exec("PRAGMA journal_mode = WAL"));
    }
    std::unique_ptr<Archive> archive = open(path());
    ASSERT_TRUE(archive);
    file(*archive, visitOf("S", "2024-01-01", {1}, {"A"}));
    QString error;
    EXPECT_FALSE(archive->backup(QDir(dir.path()).filePath("./a.sqlite"), &error));
    EXPECT_TRUE(error.contains("the archive itself")) << error.toStdString();
    EXPECT_EQ(archive->sites().size(), 1u);
}

// A disk that fills up while filing: the reason is told and the archive stays as it was. The
// page cap of this connection stands in for the full disk (SQLite says SQLITE_FULL either way).
TEST_F(ArchiveTest, AFullDiskRefusesTheFilingAndKeepsTheArchive) {
    std::unique_ptr<Archive> archive = open(path());
    file(*archive, visitOf("S", "2024-01-01", {1, 2}, {"A", "B"}));
    ASSERT_TRUE(archive->database().exec("PRAGMA max_page_count = 1"));  // no more than it has
    QString error;
    EXPECT_FALSE(archive->file(visitOf("S", "2025-01-01", std::vector<double>(5000, 3.0)), &error));
    EXPECT_TRUE(error.contains("full", Qt::CaseInsensitive)) << error.toStdString();
    EXPECT_EQ(archive->visits(*archive->siteId("S")).size(), 1u);
    EXPECT_EQ(archive->pointHistory(*archive->pointId(*archive->siteId("S"), "A"))->visits.size(),
              1u);
}

#ifndef _WIN32
// Files `count` records in a child process; returns its pid.
pid_t fileInChild(const QString& path, const QString& date, int count) {
    const pid_t pid = fork();
    if (pid == 0) {
        QString error;
        std::unique_ptr<Archive> archive = Archive::open(path, &error);
        std::vector<double> ohms(size_t(count), 2.5);
        ohms[0] = count;  // a content of its own
        _exit(archive && archive->file(visitOf("S", date, ohms), &error) ? 0 : 1);
    }
    return pid;
}

TEST_F(ArchiveTest, AKilledFilingLeavesTheVisitWholeOrAbsent) {
    open(path());
    const pid_t child = fileInChild(path(), "2024-01-01", 32767);
    usleep(150000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::unique_ptr<Archive> archive = open(path());
    Statement check(archive->database().handle(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
    const std::optional<qint64> site = archive->siteId("S");
    const int readings =
        site && !archive->visits(*site).empty() ? archive->visits(*site).front().readings : 0;
    EXPECT_TRUE(readings == 0 || readings == 32767) << readings;
}

TEST_F(ArchiveTest, TwoProcessesFilingAtOnceBothSucceed) {
    open(path());
    const pid_t first = fileInChild(path(), "2024-01-01", 20000);
    const pid_t second = fileInChild(path(), "2024-01-02", 20001);
    for (const pid_t child : {first, second}) {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(open(path())->visits(1).size(), 2u);
}
#endif

TEST_F(ArchiveTest, CommandsFileAndPrintTheHistory) {
    QSettings::setDefaultFormat(QSettings::IniFormat);  // the remembered site: none
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
    QFile csv(path("records.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(
        "NO.,R,ρ,ρLenght,Rc,Rp,I,V,R,ρ,ρLenght,Rc,Rp,I,V\r\n"
        "1,5.00Ω,,,1.60KΩ,2.40KΩ,,,5,,,1600,2400,,\r\n"
        "2,OL,,,,,,,,,,,,,\r\n");
    csv.close();
    const auto run = [&](QStringList arguments) {
        const CommandLine line = parseCommandLine(arguments << "--archive" << path());
        EXPECT_TRUE(line.ok()) << line.error.toStdString();
        return runArchiveCommand(line);
    };
    const QString records = path("records.csv");
    EXPECT_EQ(run({"--archive-add", records, "--site", "站", "--date", "2024-03-01", "--limit", "4",
                   "--point", "1=A", "--point", "2=B"})
                  .exitCode,
              0);
    EXPECT_EQ(run({"--archive-add", records, "--site", "站", "--point", "3=C"}).exitCode, 1);
    for (const QStringList& wrong :
         {QStringList{"--archive-add", records, "--site", "站", "--date", "2025-02-30"},
          QStringList{"--archive-add", records, "--site", "站", "--point", "1="},
          QStringList{"--archive-add", records, "--point", "1=A"}}) {
        EXPECT_FALSE(parseCommandLine(wrong).ok()) << wrong.join(' ').toStdString();
    }
    const ArchiveCommandResult history = run({"--history", "站"});
    EXPECT_EQ(history.output.toStdString(),
              "{\"site\": \"站\", \"threshold_percent\": 20, \"points\": [\n"
              "  {\"name\": \"A\", \"limit\": 4, \"visits\": [\n"
              "    {\"date\": \"2024-03-01\", \"record\": 1, \"value\": 5, \"text\": \"5.00Ω\", "
              "\"verdict\": \"fail\", \"change_previous_percent\": null, "
              "\"change_baseline_percent\": null, \"flagged\": true}]},\n"
              "  {\"name\": \"B\", \"limit\": 4, \"visits\": [\n"
              "    {\"date\": \"2024-03-01\", \"record\": 2, \"value\": null, \"text\": \"OL\", "
              "\"verdict\": \"overload\", \"change_previous_percent\": null, "
              "\"change_baseline_percent\": null, \"flagged\": true}]}]}\n");
    std::unique_ptr<Archive> archive = open(path());
    const std::vector<PointHistory> points = archive->siteHistory(*archive->siteId("站"));
    ASSERT_TRUE(writeHistoryCsv(path("h.csv"), points).isEmpty());
    QFile exported(path("h.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const CsvRows rows = readCsv(exported.readAll());
    ASSERT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(rows.rows[1].mid(0, 5), QStringList({"A", "2024-03-01", "1", "5", "5.00Ω"}));
    EXPECT_EQ(rows.rows[2][10], "overload");
}

}  // namespace
}  // namespace kelvora::archive
