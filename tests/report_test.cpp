#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStringListModel>
#include <QTableWidget>

#include "app/archive_location.h"
#include "app/demo_meter.h"
#include "app/record_table.h"
#include "app/report_dialog.h"
#include "files/record_sheet.h"
#include "report/report_document.h"
#include "report/report_pdf.h"
#include "save_test_support.h"
#include "support/fake_platform.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora::testing {
namespace {

Reading reading(uint16_t main, uint8_t code, uint16_t length = 0) {
    auto raw = [](uint16_t value) { return RawValue{uint8_t(value >> 8), uint8_t(value)}; };
    return {raw(main), code, 0, raw(160), raw(240), raw(length)};
}

// The records' CSV as Save writes it, from readings taken as a download takes them (null: a
// record the download missed).
QByteArray csvOf(Form1& form, const std::vector<std::optional<Reading>>& readings) {
    for (size_t k = 0; k < readings.size(); ++k) {
        writeRecordRow(form, int(k + 1), readings[k] ? &*readings[k] : nullptr);
    }
    const RecordGridModel& table = form.grid->cells();
    const RecordCells cells = {table.rows(), [&](int r, int c) { return table.text(r, c); }};
    return recordCsv(RecordSheet(cells, form.records));
}

QString pdfText(const QString& path) {
    QProcess text;
    text.start("pdftotext", {"-layout", path, "-"});
    text.waitForFinished(60000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

int pdfPages(const QString& path) {
    QProcess info;
    info.start("pdfinfo", {path});
    info.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("Pages:")) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

class Report : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
        t = makeTestForm(dir.filePath("Kelvora"));
    }
    QProcess* run(const QStringList& arguments) {
        auto* program = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        program->setProcessEnvironment(environment);
        program->start(QStringLiteral(KELVORA_BINARY_DIR "/kelvora"), arguments);
        program->waitForFinished(120000);
        return program;
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
};

TEST_F(Report, LimitsAsTyped) {
    const std::pair<const char*, double> cases[] = {
        {"4", 4},  {" 2.5 ", 2.5}, {"0.75", 0.75}, {"10.00", 10}, {"", 0},   {"0", 0},
        {"-1", 0}, {"abc", 0},     {"4.125", 0},   {"1e3", 0},    {"4,5", 0}};
    for (const auto& [typed, limit] : cases) {
        QString why;
        EXPECT_EQ(report::parseLimit(typed, &why).value_or(0), limit) << typed;
        EXPECT_EQ(why.isEmpty(), limit > 0) << typed;
    }
}

#ifndef _WIN32
// --report from a saved CSV, without a display: verdicts on either side of the limit and on
// it, the overload, the missing record, the demo survey's model, footers.
TEST_F(Report, CommandLineReportReadsBack) {
    std::vector<std::optional<Reading>> readings = {
        reading(399, 0x12),    // 3.99 Ω
        reading(400, 0x12),    // 4.00 Ω: on the limit passes
        reading(401, 0x12),    // 4.01 Ω
        reading(10000, 0x12),  // overload
        std::nullopt,          // missed
        reading(235, 0x22),    // 2.35 KΩ
    };
    const QList<MeterReading> demo = demo::storedRecords();
    for (int k = 0; k < 12; ++k) {
        readings.push_back(
            parseReading(meterFrame(QByteArray("\x01\x03\x0A", 3) + demo[k].dataBytes())));
    }
    readings.push_back(std::nullopt);
    const QString csv = dir.filePath("records.csv"), pdf = dir.filePath("report.pdf");
    ASSERT_TRUE(writeBytes(csv, csvOf(*t->form, readings)));
    std::unique_ptr<QProcess> program(run({"--report", csv, pdf, "--limit", "4"}));
    ASSERT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    const QString text = pdfText(pdf);
    for (const char* expected :
         {"接地电阻测试报告", "1 +3.99Ω .* 合格", "2 +4.00Ω .* 合格", "3 +4.01Ω .* 不合格",
          "4 +超量程 .* 不合格", "6 +2.35KΩ .* 不合格", "合格 2 条，不合格 3 条（其中超量程 1 条）",
          "最大 R = 2.35KΩ（记录 6）", "以下记录未能从仪器读取.*：5, 19（共 2 条）",
          "土壤模型：2层", "第 ?1 ?页 ?/ ?共 ?2 ?页", "测试人员（签字）"}) {
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(expected))))
            << expected << "\n"
            << text.toStdString();
    }
    // The same report in English: every text of its own translated.
    program.reset(run({"--report", csv, pdf, "--limit", "4", "--lang", "en"}));
    ASSERT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    const QString english = pdfText(pdf);
    for (const char* expected :
         {"Earth Resistance Test Report", "3 +4.01Ω .* Fail", "4 +Over range .* Fail",
          "2 passed, 3 failed \\(1 of them over range\\)", "Soil model: 2-layer", "Page ?1 ?of ?2",
          "Tested by \\(signature\\)"}) {
        EXPECT_TRUE(english.contains(QRegularExpression(QString::fromUtf8(expected))))
            << expected << "\n"
            << english.toStdString();
    }
    EXPECT_FALSE(english.contains(QRegularExpression("\\p{Han}"))) << english.toStdString();
}
#endif

ReportDialog* openDialog(Form1& form) {
    form.mnureport->trigger();
    return form.findChild<ReportDialog*>();
}

// The menu item sits before the archive and the charts; with no records the dialog says so and
// cannot save.
TEST_F(Report, MenuItemAndAnEmptyTable) {
    Form1& f = *t->form;
    const QList<QAction*> items = f.mnuoperate->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items[items.size() - 3], f.mnureport);
    EXPECT_EQ(f.mnureport->text(), QStringLiteral("测试报告…"));
    EXPECT_TRUE(f.mnureport->isEnabled() && !f.mnureport->isCheckable());
    ReportDialog* dialog = openDialog(f);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("测试报告"));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->noRecords()->isHidden());
    EXPECT_FALSE(dialog->saveButton()->isEnabled());
}

#ifndef _WIN32
// Fields print as typed, markup and right-to-left marks included; a bad limit is refused
// beside the field with nothing written; the site and limit are there in the next run.
TEST_F(Report, DialogReportHoldsWhatWasTypedAndRemembersIt) {
    csvOf(*t->form, {reading(399, 0x12), reading(401, 0x12), reading(500, 0x51)});
    ReportDialog* dialog = openDialog(*t->form);
    ASSERT_NE(dialog, nullptr);
    const QString project = QStringLiteral("<b>A&amp;B</b> 变电站 & \u200F北区");
    const QString remarks = QString(500, QChar(u'注'));
    dialog->setField(report::Project, project);
    dialog->setField(report::Tester, QStringLiteral("张三"));
    dialog->setField(report::Remarks, remarks);
    dialog->notesTable()->item(1, 3)->setText(QStringLiteral("东北角 E2"));
    const QString pdf = dir.filePath("report.pdf");
    for (const char* bad : {"", "0", "-2", "abc", "nan"}) {
        dialog->limitEdit()->setText(QString::fromUtf8(bad));
        dialog->savePdf();
        EXPECT_FALSE(dialog->limitError()->text().isEmpty()) << bad;
    }
    EXPECT_TRUE(t->dialog->shownSaves.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));

    dialog->limitEdit()->setText("4");
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, pdf, 1, {}});
    dialog->savePdf();
    ASSERT_EQ(t->dialog->shownSaves.size(), 1);
    EXPECT_EQ(t->dialog->shownSaves[0][1], QStringLiteral("PDF 文件(*.pdf)|*.pdf|"));
    EXPECT_TRUE(dialog->limitError()->text().isEmpty());
    QString text = pdfText(pdf);
    text.remove(QRegularExpression("\\s"));
    for (const QString& expected :
         // The right-to-left mark has no glyph to read back.
         {QString(project).remove(QRegularExpression("[\\s\\x{200F}]")),
          QStringLiteral("测试人员：张三"), remarks, QStringLiteral("东北角E2不合格"),
          QStringLiteral("地电压"), QStringLiteral("50.0V")}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    }
    EXPECT_FALSE(text.contains(QStringLiteral("a（ρ长度）")));  // no survey, no such section

    auto second = makeTestForm(dir.filePath("Kelvora"));
    ReportDialog* again = openDialog(*second->form);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->field(report::Project), project);
    EXPECT_EQ(again->field(report::Remarks), remarks);
    EXPECT_EQ(again->limitEdit()->text(), QStringLiteral("4"));
    EXPECT_EQ(again->notesTable()->rowCount(), 0);  // the notes are not remembered
}

// 300 records: every page repeats the table's header, no record is cut or lost, and every
// footer counts the pages.
TEST_F(Report, LongReportPaginates) {
    std::vector<std::optional<Reading>> readings;
    for (int k = 0; k < 300; ++k) {
        readings.push_back(reading(uint16_t(100 + k), 0x12));
    }
    csvOf(*t->form, readings);
    ReportDialog* dialog = openDialog(*t->form);
    ASSERT_NE(dialog, nullptr);
    // Long notes make rows of several lines, which must not be cut either.
    for (int row : {40, 41, 150}) {
        dialog->notesTable()->item(row, 3)->setText(QString(120, QChar(u'北')));
    }
    const QString pdf = dir.filePath("long.pdf");
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, pdf, 1, {}});
    dialog->savePdf();
    const int pages = pdfPages(pdf);
    EXPECT_GE(pages, 7);
    QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pageTexts.size(), pages);
    QList<int> seen;
    for (int page = 0; page < pages; ++page) {
        const QString& text = pageTexts[page];
        QString squeezed = text;
        squeezed.remove(QRegularExpression("\\s"));
        EXPECT_TRUE(squeezed.contains(QStringLiteral("第%1页/共%2页").arg(page + 1).arg(pages)));
        const QRegularExpression row("^\\s*(\\d+)\\s+\\d+\\.\\d+Ω",
                                     QRegularExpression::MultilineOption);
        bool rows = false;
        for (auto match = row.globalMatch(text); match.hasNext();) {
            seen << match.next().captured(1).toInt();
            rows = true;
        }
        if (rows) {
            EXPECT_TRUE(text.contains(QRegularExpression("NO\\.\\s+R\\s+Rc\\s+Rp"))) << page;
        }
    }
    QList<int> all;
    for (int k = 1; k <= 300; ++k) {
        all << k;
    }
    EXPECT_EQ(seen, all);
}

// Filing from the dialog: once, then again (nothing added, and said); the next download's
// points pre-filled; its report and --report --site show the previous values and why a
// point is flagged; a bad or read-only archive refuses with the reason and stays as it was.
TEST_F(Report, FilingAndThePreviousValues) {
    const QString archive = dir.filePath("archive.sqlite"), pdf = dir.filePath("r.pdf");
    overrideArchiveLocationForThisRun(archive);
    csvOf(*t->form, {reading(400, 0x12), reading(500, 0x12)});
    ReportDialog* dialog = openDialog(*t->form);
    ASSERT_NE(dialog, nullptr);
    const QString site = QStringLiteral("北区 '; DROP TABLE site; --");
    dialog->setField(report::Project, site);
    dialog->setField(report::Tester, QStringLiteral("张三"));
    dialog->setField(report::TestDate, QStringLiteral("2020-05-01"));
    dialog->limitEdit()->setText("10");
    dialog->notesTable()->item(0, 4)->setText(QStringLiteral("A1"));
    dialog->notesTable()->item(1, 4)->setText(QStringLiteral("B2"));
    dialog->fileVisit();
    dialog->fileVisit();
    ASSERT_EQ(t->messages->shown.size(), 2);
    EXPECT_TRUE(t->messages->shown[0].text.startsWith(
        QStringLiteral("已存入档案：%1，2020-05-01，2 条记录，其中 2 条").arg(site)));
    EXPECT_TRUE(t->messages->shown[1].text.contains(QStringLiteral("没有再次存入")));
    EXPECT_EQ(dialog->siteNames()->stringList(), QStringList{site});

    const QByteArray csv = csvOf(*t->form, {reading(420, 0x12), reading(700, 0x12)});
    dialog->hide();
    openDialog(*t->form);
    EXPECT_EQ(dialog->notesTable()->item(1, 4)->text(), QStringLiteral("B2"));
    dialog->setField(report::Tester, {});
    dialog->chooseSite(site);
    EXPECT_EQ(dialog->field(report::Tester), QStringLiteral("张三"));
    dialog->setField(report::TestDate, QStringLiteral("2021-05-01"));
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, pdf, 1, {}});
    dialog->savePdf();
    const QString text = pdfText(pdf);
    for (const char* expected :
         {"上次 +上次日期 +变化", "1 +4.20Ω .* 4.00Ω +2020-05-01 +\\+5.0% +测试点：A1 +合格",
          "测试点：B2\n.*2 +7.00Ω .* 5.00Ω +2020-05-01 +\\+40.0% +需关注：比基准上升"}) {
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(expected))))
            << expected << "\n"
            << text.toStdString();
    }
    dialog->fileVisit();
    ASSERT_EQ(t->messages->shown.size(), 3);
    EXPECT_TRUE(t->messages->shown[2].text.endsWith(QStringLiteral("需关注的测试点：B2")));

    // The command line: today's report after the two visits, the points of the latest.
    ASSERT_TRUE(writeBytes(dir.filePath("r.csv"), csv));
    std::unique_ptr<QProcess> program(
        run({"--report", dir.filePath("r.csv"), pdf, "--site", site, "--archive", archive}));
    ASSERT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    EXPECT_TRUE(pdfText(pdf).contains(
        QRegularExpression(QString::fromUtf8("2 +7.00Ω .* 7.00Ω +2021-05-01 +0.0% +需关注"))));

    QFile::setPermissions(archive, QFile::ReadOwner);
    dialog->setField(report::TestDate, QStringLiteral("2022-05-01"));
    ASSERT_TRUE(writeBytes(dir.filePath("bad.sqlite"), QByteArray(4096, 'x')));
    for (const QString& bad : {archive, dir.filePath("bad.sqlite")}) {
        overrideArchiveLocationForThisRun(bad);
        const QByteArray before = readBytes(bad);
        dialog->fileVisit();
        EXPECT_EQ(t->messages->shown.back().kind, QStringLiteral("exclamation"));
        EXPECT_TRUE(t->messages->shown.back().text.contains(bad));
        EXPECT_EQ(readBytes(bad), before);
    }
    std::unique_ptr<QProcess> refused(run({"--report", dir.filePath("r.csv"), pdf, "--site", site,
                                           "--archive", dir.filePath("bad.sqlite")}));
    EXPECT_EQ(refused->exitCode(), 1);
    overrideArchiveLocationForThisRun({});

    // An import of a record CSV opens the same dialog holding the file's records.
    ReportDialog* imported = openVisitImport(*t->form, dir.filePath("r.csv"), nullptr);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->notesTable()->rowCount(), 2);
    EXPECT_EQ(openVisitImport(*t->form, dir.filePath("bad.sqlite"), nullptr), nullptr);
    EXPECT_EQ(t->messages->shown.back().kind, QStringLiteral("exclamation"));
}

// A full disk, stood in for by a file-size limit: the box says why and the old file stays.
TEST_F(Report, AReportThatCannotBeWrittenLeavesTheOldFile) {
    csvOf(*t->form, {reading(399, 0x12)});
    ReportDialog* dialog = openDialog(*t->form);
    ASSERT_NE(dialog, nullptr);
    const QString pdf = dir.filePath("old.pdf");
    ASSERT_TRUE(writeBytes(pdf, "old report"));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited = {4096, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, pdf, 1, {}});
    dialog->savePdf();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(readBytes(pdf), "old report");
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_EQ(t->messages->shown[0].title, QStringLiteral("Printing Error!"));
    EXPECT_EQ(QDir(dir.path()).entryList({"*.pdf*"}, QDir::Files), QStringList{"old.pdf"});

    // --report refuses in the same way, and a bad --limit is a usage error.
    const QString csv = dir.filePath("r.csv");
    ASSERT_TRUE(writeBytes(csv, csvOf(*t->form, {reading(399, 0x12)})));
    std::unique_ptr<QProcess> bad(run({"--report", csv, pdf, "--limit", "-1"}));
    EXPECT_EQ(bad->exitCode(), 2);
    ASSERT_TRUE(writeBytes(dir.filePath("foreign.csv"), "a,b\n1,2\n"));
    std::unique_ptr<QProcess> foreign(run({"--report", dir.filePath("foreign.csv"), pdf}));
    EXPECT_EQ(foreign->exitCode(), 1);
    EXPECT_EQ(readBytes(pdf), "old report");
}
#endif

}  // namespace
}  // namespace kelvora::testing
