#include <gtest/gtest.h>

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "app/twip_label.h"
#include "platform/qt_printer.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora {
namespace {

using namespace Qt::StringLiterals;
using testing::makeTestForm;

// Lines joined by '/', in which "a{3}b" is "a", three spaces, "b".
QStringList expand(const char* pattern) {
    QStringList lines;
    for (const QString& text : QString::fromUtf8(pattern).split(u'/')) {
        QString line;
        for (qsizetype at = 0; at < text.size(); ++at) {
            const qsizetype close = text[at] == u'{' ? text.indexOf(u'}', at) : -1;
            line += close < 0 ? QString(text[at])
                              : QString(text.mid(at + 1, close - at - 1).toInt(), u' ');
            at = close < 0 ? at : close;
        }
        lines << line;
    }
    return lines;
}

// Accepts the print dialog after `whileOpen` ran, as if it happened while the dialog was open.
void printAccepting(testing::TestForm& test, std::function<void()> whileOpen = {}) {
    test.dialog->answers.push_back({{DialogOutcome::Accepted, {}}, {}, 0, std::move(whileOpen)});
    test.form->Command4_Click();
}

QStringList expectedLog(QStringList log, const char* lines) {
    for (const QString& line : expand(lines)) {
        log << u"print "_s + line;
    }
    return log << u"endDoc"_s;
}

// Shows the record tab as a download leaves it: rows joined by '/', cells by '|'.
void download(Form1& form, int total, const QString& rows) {
    form.liveView = false;
    form.recordTotal = total;
    const QStringList records = rows.split(u'/', Qt::SkipEmptyParts);
    form.grid->setRows(int(records.size()) + 1);
    for (int row = 1; row <= records.size(); ++row) {
        const QStringList cells = records[row - 1].split(u'|');
        for (int column = 0; column < cells.size(); ++column) {
            form.grid->setTextMatrix(row, column, cells[column]);
        }
    }
}

#define HEADER "NO.{2}R{6}ρ{6}ρLenght{7}Rc{6}Rp{12}I{12}V"

TEST(PrintCommand, LiveTabPrintsTheModesLinesBelowTheTop) {
    struct Case {
        const char* name;
        int mode;  // 0: the form as started, before any reading
        const char* lines;
    } const cases[] = {
        {"EarthResistance", 1, "{13}R{7}Rc{8}Rp{3}/{11}12.3Ω{3}1.25KΩ{3}0.80KΩ/{5}"},
        {"SoilResistivity", 2,
         "{13}ρ{7}ρ length{7}Rc{9}Rp{4}/{11}105.2Ωm{5}5.0 m{7}1.25KΩ{2}0.80KΩ/{5}"},
        {"EarthVoltage", 3, "{13}V:{4}230.5 V/{5}"},
        {"ClampCurrent", 4, "{13}I:{4}12.50 mA/{5}"},
        {"UnknownMode", 7, "{5}"},
        {"BeforeAnyReading", 0,
         "{13}ρ{7}ρ length{7}Rc{9}Rp{4}/{11}0.00 Ωm{5}0.00 m{7}0.00 KΩ{2}0.00 KΩ/{5}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto test = makeTestForm();
        Form1& form = *test->form;
        // The reading changes while the dialog is open; the printout shows it as it closes.
        printAccepting(*test, [&form, &c] {
            const QStringList captions =
                u"12.3Ω|1.25KΩ|0.80KΩ|105.2Ωm|5.0 m|230.5 V|12.50 mA"_s.split(u'|');
            TwipLabel* const labels[] = {form.r[0],        form.rc[0], form.rp[0], form.p[0],
                                         form.p_length[0], form.v[0],  form.i[0]};
            form.measureMode = c.mode != 0 ? c.mode : form.measureMode;
            for (int k = 0; k < 7 && c.mode != 0; ++k) {
                labels[k]->setCaption(captions[k]);
            }
        });
        EXPECT_EQ(test->printer->log, expectedLog({u"currentY 500"_s}, c.lines));
    }
}

TEST(PrintCommand, RecordTabPrintsTheHeaderAndEachRecordFromTheTop) {
    struct Case {
        const char* name;
        int total;
        bool clearedAfterwards;
        const char* rows;
        const char* lines;
    } const cases[] = {
        {"NothingDownloaded", 0, false, "", HEADER},
        {"ThreeModes", 3, false, "1||105.2Ωm|5.0m|1.25KΩ|0.80KΩ||/2||||||12.5mA|/3|||||||230.5V",
         HEADER "/1{8}105.2Ωm{6}5.0m{7}1.25KΩ{2}0.80KΩ{14}/2{54}12.5mA{7}/3{67}230.5V"},
        {"ResistanceAndNothingPastTheTotal", 1, false, "5|12.3Ω|||1.25KΩ|0.80KΩ||/6|||||||1V",
         HEADER "/5{2}12.3Ω{25}1.25KΩ{2}0.80KΩ{14}"},
        {"ResistanceWithCurrent", 1, false, "9|12.3Ω|||1.25KΩ|0.80KΩ|5.00A|",
         HEADER "/9{2}12.3Ω{25}1.25KΩ{2}0.80KΩ{7}5.00A{7}"},
        {"ClearedAfterADownload", 3, true, "1|12.3Ω/2|||||||1V/3||||||2.00A|", HEADER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto test = makeTestForm();
        Form1& form = *test->form;
        printAccepting(*test, [&form, &c] {
            download(form, c.total, QString::fromUtf8(c.rows));
            if (c.clearedAfterwards) {
                form.gridinit();  // the count of the download stays
            }
        });
        EXPECT_EQ(form.recordTotal, c.total);
        EXPECT_EQ(test->printer->log, expectedLog({}, c.lines));
    }
}

TEST(PrintCommand, CancelPrintsNothingAndShowsNothing) {
    auto test = makeTestForm();
    test->form->Command4_Click();  // no answer queued: the user cancels
    EXPECT_EQ(test->dialog->shownFlags, QList<int>{264});
    EXPECT_TRUE(test->form->CommonDialog1->cancelError);
    EXPECT_TRUE(test->printer->log.isEmpty());
    EXPECT_TRUE(test->messages->shown.isEmpty());
    EXPECT_EQ(test->messages->beeps, 0);
}

TEST(PrintCommand, FailingDialogBeepsShowsTheErrorOnceAndPrintsNothing) {
    auto test = makeTestForm();
    test->dialog->answers.push_back({{DialogOutcome::Failed, u"没有安装打印机。"_s}, {}, 0, {}});
    test->form->Command4_Click();
    EXPECT_EQ(test->messages->beeps, 1);
    ASSERT_EQ(test->messages->shown.size(), 1);
    const auto& shown = test->messages->shown[0];
    EXPECT_EQ(
        QStringList({shown.kind, shown.title, shown.text}),
        QStringList({"exclamation", "Printing Error!", u"文件打印出错.\r\n没有安装打印机。"_s}));
    EXPECT_TRUE(test->printer->log.isEmpty());
}

TEST(PrintCommand, AFailingLineIsSkippedAndTheDocumentStillEnds) {
    auto test = makeTestForm();
    download(*test->form, 2, u"1|||||||1.0V/2|||||||2.0V"_s);
    test->printer->failingLines << expand(HEADER "/1{67}1.0V");
    printAccepting(*test);
    EXPECT_EQ(test->printer->lines, expand("2{67}2.0V"));
    EXPECT_EQ(test->printer->documentsEnded, 1);
    EXPECT_TRUE(test->messages->shown.isEmpty());
}

// Prints the record table through the real printer adapter into a PDF and returns the text
// pdftotext reads back, laid out by position, each page ending in a form feed.
QString printToPdf(int total, const QString& rows) {
    QTemporaryDir folder;
    const QString path = folder.filePath(u"out.pdf"_s);
    auto test = makeTestForm();
    auto printer = std::make_unique<QtPrinter>();
    printer->qprinter()->setOutputFileName(path);  // a ".pdf" name makes the output a PDF
    test->form->Printer = std::move(printer);      // the fake printer is gone
    printAccepting(*test, [&] { download(*test->form, total, rows); });
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    EXPECT_TRUE(process.waitForFinished(60000) && process.exitCode() == 0);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList squeezedLines(QString text) {
    text.replace(QRegularExpression(u"[ \f]+"_s), u" "_s);
    return text.replace(QRegularExpression(u" ?\n[ \n]*"_s), u"\n"_s).trimmed().split(u'\n');
}

TEST(PrintCommand, ToAPdfTheThreeRecordTableReadsBackWithItsGaps) {
    const QString text = printToPdf(
        3, u"1|12.3Ω|||1.25KΩ|0.80KΩ||/2||105.2Ωm|5.0m|1.25KΩ|0.80KΩ||/3||||||12.50mA|"_s);
    EXPECT_EQ(text.count(u'\f'), 1);
    EXPECT_EQ(squeezedLines(text),
              QStringList({u"NO. R ρ ρLenght Rc Rp I V"_s, u"1 12.3Ω 1.25KΩ 0.80KΩ"_s,
                           u"2 105.2Ωm 5.0m 1.25KΩ 0.80KΩ"_s, u"3 12.50mA"_s}));
    // The 54 spaces of record 3 keep its current far right of its number.
    EXPECT_TRUE(text.contains(QRegularExpression(u"\\n *3 {20,}12\\.50mA"_s))) << qPrintable(text);
}

TEST(PrintCommand, ToAPdfALongTableGoesOnOnTheNextPage) {
    QStringList rows, expected{u"NO. R ρ ρLenght Rc Rp I V"_s};
    for (int record = 1; record <= 200; ++record) {
        rows << QStringLiteral("%1|||||||1.0V").arg(record);
        expected << QStringLiteral("%1 1.0V").arg(record);
    }
    const QString text = printToPdf(200, rows.join(u'/'));
    EXPECT_GT(text.count(u'\f'), 1);
    EXPECT_EQ(squeezedLines(text), expected);
}

#ifndef _WIN32
// A file-size limit stands in for a full disk; the program itself must turn SIGXFSZ into a
// failed write. The old PDF survives a failed printout and is replaced by a good one.
TEST(PrintCommand, APdfThatCannotBeWrittenWholeLeavesTheOldFileAndSaysSo) {
    QTemporaryDir folder;
    const QString path = folder.filePath(u"out.pdf"_s);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old printout") == 12);
    old.close();
    auto test = makeTestForm();
    auto printer = std::make_unique<QtPrinter>();
    printer->qprinter()->setOutputFileName(path);
    test->form->Printer = std::move(printer);
    QStringList rows;
    for (int record = 1; record <= 200; ++record) {
        rows << QStringLiteral("%1|||||||1.0V").arg(record);
    }
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    for (const rlim_t limit : {rlim_t(4096), saved.rlim_cur}) {
        const rlimit limited = {limit, saved.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        printAccepting(*test, [&] { download(*test->form, 200, rows.join(u'/')); });
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{u"out.pdf"_s});
    }
    ASSERT_EQ(test->messages->shown.size(), 1);
    EXPECT_EQ(test->messages->shown[0].title, u"Printing Error!"_s);
    EXPECT_TRUE(test->messages->shown[0].text.startsWith(u"文件打印出错.\r\n"_s));
    QFile printed(path);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.readAll().startsWith("%PDF"));  // the second, complete printout
}
#endif

}  // namespace
}  // namespace kelvora
