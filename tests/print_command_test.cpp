#include <gtest/gtest.h>

#include "app/twip_label.h"
#include "platform/record_grid.h"
#include "print/print_lines.h"
#include "support/fake_platform.h"

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << QString(text).replace(QLatin1Char(' '), QChar(0x00B7)).toStdString() << '"';
}

namespace kelvora {
namespace {

using testing::FakeCommonDialog;
using testing::makeTestForm;
using testing::TestForm;

QString sp(int count) {
    return QString(count, QLatin1Char(' '));
}
QString u(const char* text) {
    return QString::fromUtf8(text);
}

FakeCommonDialog::Answer accepted(std::function<void()> whileOpen = {}) {
    return {{DialogOutcome::Accepted, {}}, {}, 0, std::move(whileOpen)};
}

// Writes record row k as a download does: the table grows to k + 1 rows, then the row is set.
void putRecord(Form1& form, int row, std::initializer_list<const char*> texts) {
    form.grid->setRows(row + 1);
    int column = 0;
    for (const char* text : texts) {
        form.grid->setTextMatrix(row, column++, u(text));
    }
}

const QString kHeaderLine = u("NO.") + sp(2) + "R" + sp(6) + u("ρ") + sp(6) + u("ρLenght") + sp(7) +
                            "Rc" + sp(6) + "Rp" + sp(12) + "I" + sp(12) + "V";

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override {
        test = makeTestForm();
        form = test->form.get();
    }
    // Shows the record tab with the three records of a typical download.
    void downloadThreeRecords() {
        form->liveView = false;
        form->recordTotal = 3;
        putRecord(*form, 1, {"1", "12.3Ω", "", "", "1.25KΩ", "0.80KΩ", "", ""});
        putRecord(*form, 2, {"2", "", "105.2Ωm", "5.0m", "1.25KΩ", "0.80KΩ", "", ""});
        putRecord(*form, 3, {"3", "", "", "", "", "", "", "230.5V"});
    }
    QStringList threeRecordLines() const {
        return {kHeaderLine,
                "1" + sp(2) + u("12.3Ω") + sp(25) + u("1.25KΩ") + sp(2) + u("0.80KΩ") + sp(14),
                "2" + sp(8) + u("105.2Ωm") + sp(6) + "5.0m" + sp(7) + u("1.25KΩ") + sp(2) +
                    u("0.80KΩ") + sp(14),
                "3" + sp(67) + "230.5V"};
    }

    std::unique_ptr<TestForm> test;
    Form1* form = nullptr;
};

TEST_F(PrintCommand, ShowsThePrintDialogWithFlags264AndCancelAsError) {
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(test->dialog->printShows, 1);
    EXPECT_EQ(test->dialog->shownFlags, QList<int>{264});
    EXPECT_TRUE(form->CommonDialog1->cancelError);
}

TEST_F(PrintCommand, CancelPrintsNothingAndShowsNothing) {
    for (bool live : {true, false}) {
        form->liveView = live;
        test->dialog->answers.push_back({{DialogOutcome::Cancelled, {}}, {}, 0, {}});
        form->Command4_Click();
    }
    EXPECT_EQ(test->dialog->printShows, 2);
    EXPECT_TRUE(test->printer->log.isEmpty()) << test->printer->log.join('|').toStdString();
    EXPECT_TRUE(test->messages->shown.isEmpty());
    EXPECT_EQ(test->messages->beeps, 0);
}

TEST_F(PrintCommand, FailingDialogBeepsShowsTheErrorOnceAndPrintsNothing) {
    for (bool live : {true, false}) {
        SCOPED_TRACE(live ? "live tab" : "record tab");
        auto fresh = makeTestForm();
        fresh->form->liveView = live;
        fresh->dialog->answers.push_back(
            {{DialogOutcome::Failed, u("没有安装打印机。")}, {}, 0, {}});
        fresh->form->Command4_Click();
        EXPECT_EQ(fresh->messages->beeps, 1);
        ASSERT_EQ(fresh->messages->shown.size(), 1);
        EXPECT_EQ(fresh->messages->shown[0].kind, QStringLiteral("exclamation"));
        EXPECT_EQ(fresh->messages->shown[0].title, QStringLiteral("Printing Error!"));
        EXPECT_EQ(fresh->messages->shown[0].text, u("文件打印出错.\r\n没有安装打印机。"));
        EXPECT_TRUE(fresh->printer->log.isEmpty());
    }
}

struct LiveCase {
    const char* name;
    int mode;
    QStringList lines;  // between "currentY 500" and "endDoc"
};

class PrintLiveTab : public ::testing::TestWithParam<LiveCase> {};

TEST_P(PrintLiveTab, PrintsTheModesLinesBelowTheTopThenFiveSpaces) {
    auto test = makeTestForm();
    Form1& form = *test->form;
    form.liveView = true;
    form.measureMode = GetParam().mode;
    form.r[0]->setCaption(u("12.3Ω"));
    form.rc[0]->setCaption(u("1.25KΩ"));
    form.rp[0]->setCaption(u("0.80KΩ"));
    form.p[0]->setCaption(u("105.2Ωm"));
    form.p_length[0]->setCaption(u("5.0 m"));
    form.v[0]->setCaption(u("230.5 V"));
    form.i[0]->setCaption(u("12.50 mA"));
    test->dialog->answers.push_back(accepted());
    form.Command4_Click();

    QStringList expected{QStringLiteral("currentY 500")};
    for (const QString& line : GetParam().lines) {
        expected << QStringLiteral("print ") + line;
    }
    expected << QStringLiteral("endDoc");
    EXPECT_EQ(test->printer->log, expected);
    EXPECT_TRUE(test->messages->shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PrintLiveTab,
    ::testing::Values(
        LiveCase{"EarthResistance",
                 1,
                 {sp(13) + "R" + sp(7) + "Rc" + sp(8) + "Rp" + sp(3),
                  sp(11) + u("12.3Ω") + sp(3) + u("1.25KΩ") + sp(3) + u("0.80KΩ"), sp(5)}},
        LiveCase{
            "SoilResistivity",
            2,
            {sp(13) + u("ρ") + sp(7) + u("ρ length") + sp(7) + "Rc" + sp(9) + "Rp" + sp(4),
             sp(11) + u("105.2Ωm") + sp(5) + "5.0 m" + sp(7) + u("1.25KΩ") + sp(2) + u("0.80KΩ"),
             sp(5)}},
        LiveCase{"EarthVoltage", 3, {sp(13) + "V:" + sp(4) + "230.5 V", sp(5)}},
        LiveCase{"ClampCurrent", 4, {sp(13) + "I:" + sp(4) + "12.50 mA", sp(5)}},
        LiveCase{"UnknownMode", 7, {sp(5)}}),
    [](const ::testing::TestParamInfo<LiveCase>& info) { return std::string(info.param.name); });

TEST_F(PrintCommand, BeforeAnyReadingPrintsTheResistivityHeadingAndStartUpCaptions) {
    ASSERT_TRUE(form->liveView);
    ASSERT_EQ(form->measureMode, 2);
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(
        test->printer->lines,
        (QStringList{
            sp(13) + u("ρ") + sp(7) + u("ρ length") + sp(7) + "Rc" + sp(9) + "Rp" + sp(4),
            sp(11) + u("0.00 Ωm") + sp(5) + "0.00 m" + sp(7) + u("0.00 KΩ") + sp(2) + u("0.00 KΩ"),
            sp(5)}));
    EXPECT_EQ(test->printer->documentsEnded, 1);
}

TEST_F(PrintCommand, LiveTabPrintsTheReadingAsItStandsWhenTheDialogCloses) {
    form->measureMode = 1;
    test->dialog->answers.push_back(accepted([this] {
        form->measureMode = 3;
        form->v[0]->setCaption(QStringLiteral("OL V"));
    }));
    form->Command4_Click();
    EXPECT_EQ(test->printer->lines, (QStringList{sp(13) + "V:" + sp(4) + "OL V", sp(5)}));
}

TEST_F(PrintCommand, RecordTabWithNothingDownloadedPrintsOnlyTheHeader) {
    form->liveView = false;
    ASSERT_EQ(form->recordTotal, 0);
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(test->printer->log,
              (QStringList{QStringLiteral("print ") + kHeaderLine, QStringLiteral("endDoc")}));
}

TEST_F(PrintCommand, RecordTabPrintsTheHeaderAndThreeRecordsAtTheTopOfThePage) {
    downloadThreeRecords();
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(test->printer->lines, threeRecordLines());
    EXPECT_FALSE(test->printer->log.join('|').contains(QStringLiteral("currentY")));
    EXPECT_EQ(test->printer->log.last(), QStringLiteral("endDoc"));
}

TEST_F(PrintCommand, RowWithBothResistanceAndCurrentUsesTheResistanceGaps) {
    form->liveView = false;
    form->recordTotal = 1;
    putRecord(*form, 1, {"1", "12.3Ω", "", "", "1.25KΩ", "0.80KΩ", "5.00A", ""});
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(test->printer->lines,
              (QStringList{kHeaderLine, "1" + sp(2) + u("12.3Ω") + sp(25) + u("1.25KΩ") + sp(2) +
                                            u("0.80KΩ") + sp(7) + "5.00A" + sp(7)}));
}

TEST_F(PrintCommand, TableClearedAfterADownloadPrintsOnlyTheHeader) {
    downloadThreeRecords();
    form->gridinit();  // Clear; the count of the earlier download stays
    ASSERT_EQ(form->recordTotal, 3);
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(test->printer->lines, QStringList{kHeaderLine});
    EXPECT_EQ(test->printer->documentsEnded, 1);
}

TEST_F(PrintCommand, RecordTabPrintsTheTableAsFarAsADownloadFilledItWhenTheDialogCloses) {
    form->liveView = false;
    test->dialog->answers.push_back(accepted([this] {
        form->recordTotal = 3;  // the count arrived; record 1 so far
        putRecord(*form, 1, {"1", "", "", "", "", "", "", "1.0V"});
    }));
    form->Command4_Click();
    EXPECT_EQ(test->printer->lines, (QStringList{kHeaderLine, "1" + sp(67) + "1.0V"}));
}

TEST_F(PrintCommand, AFailingLineIsSkippedAndTheDocumentStillEnds) {
    downloadThreeRecords();
    const QStringList all = threeRecordLines();
    test->printer->failingLines << all[0] << all[2];
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    EXPECT_EQ(test->printer->lines, (QStringList{all[1], all[3]}));
    EXPECT_EQ(test->printer->log.last(), QStringLiteral("endDoc"));
    EXPECT_EQ(test->printer->documentsEnded, 1);
    EXPECT_TRUE(test->messages->shown.isEmpty());
}

TEST_F(PrintCommand, EachPrintIsADocumentOfItsOwn) {
    downloadThreeRecords();
    test->dialog->answers.push_back(accepted());
    test->dialog->answers.push_back(accepted());
    form->Command4_Click();
    form->Command4_Click();
    EXPECT_EQ(test->printer->documentsEnded, 2);
    EXPECT_EQ(test->printer->lines, threeRecordLines() + threeRecordLines());
}

}  // namespace
}  // namespace kelvora
