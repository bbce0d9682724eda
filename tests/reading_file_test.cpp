#include <gtest/gtest.h>

#include <string>

#include "app/twip_label.h"
#include "export/text_lines.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

std::string sp(int count) {
    return std::string(size_t(count), ' ');
}

const ReadingTexts kSample = {"12.34KΩ", "2.00KΩ", "3.00KΩ", "123.4Ωm", "5.0m", "50.0V", "OL mA"};

struct ReadingCase {
    const char* name;
    int mode;
    ReadingTexts texts;
    std::string expected;  // UTF-8, lines ended by CR LF
};

// Keeps test names readable where the parameter is printed.
void PrintTo(const ReadingCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<ReadingCase> readingCases() {
    return {
        {"EarthResistance", 1, kSample,
         sp(9) + "    R    " + "   Rc    " + "   Rp   " + "\r\n" + sp(11) + "12.34KΩ" + sp(3) +
             "2.00KΩ" + sp(3) + "3.00KΩ" + "\r\n"},
        {"SoilResistivity", 2, kSample,
         sp(9) + "    ρ    " + "   ρ length    " + "   Rc   " + "   Rp    " + "\r\n" + sp(11) +
             "123.4Ωm" + sp(5) + "5.0m" + sp(7) + "2.00KΩ" + sp(2) + "3.00KΩ" + "\r\n"},
        {"EarthVoltage", 3, kSample, sp(9) + "    V:    " + "50.0V" + "\r\n"},
        // An overload text keeps its space.
        {"ClampCurrentOverload", 4, kSample, sp(9) + "    I:    " + "OL mA" + "\r\n"},
        {"ModeZero", 0, kSample, ""},
        {"ModeFive", 5, kSample, ""},
        {"ModeNegative", -1, kSample, ""},
        // Empty labels still give the fixed pieces.
        {"EmptyLabels", 3, {}, sp(9) + "    V:    " + "\r\n"},
    };
}

class ReadingFileLines : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingFileLines, AreThePiecesInOrder) {
    const ReadingCase& c = GetParam();
    EXPECT_EQ(joinCrLf(readingFileLines(c.mode, c.texts)).toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, ReadingFileLines, ::testing::ValuesIn(readingCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The whole command: live tab, text type picked, the labels as the window shows them.
class ReadingFileSaved : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("reading.txt");
    }
    QByteArray save(TestForm& t) {
        t->liveView = true;
        t.dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 2, {}});
        t->Command2_Click();
        return readBytes(path);
    }
    static void show(TestForm& t, int mode, const ReadingTexts& texts) {
        t->measureMode = mode;
        t->r[0]->setCaption(texts.r);
        t->rc[0]->setCaption(texts.rc);
        t->rp[0]->setCaption(texts.rp);
        t->p[0]->setCaption(texts.p);
        t->p_length[0]->setCaption(texts.pLength);
        t->v[0]->setCaption(texts.v);
        t->i[0]->setCaption(texts.i);
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(ReadingFileSaved, EveryModeInUtf8) {
    for (const ReadingCase& c : readingCases()) {
        auto t = makeTestForm(dir.filePath("folder"));
        show(*t, c.mode, c.texts);
        EXPECT_EQ(save(*t).toStdString(), c.expected) << "mode " << c.mode;
        EXPECT_TRUE(t->messages->shown.isEmpty());
    }
}

TEST_F(ReadingFileSaved, BeforeAnyReadingHoldsTheStartUpTexts) {
    auto t = makeTestForm(dir.filePath("folder"));
    ASSERT_EQ(t->form->measureMode, 2);
    const std::string expected = sp(9) + "    ρ    " + "   ρ length    " + "   Rc   " +
                                 "   Rp    " + "\r\n" + sp(11) + "0.00 Ωm" + sp(5) + "0.00 m" +
                                 sp(7) + "0.00 KΩ" + sp(2) + "0.00 KΩ" + "\r\n";
    EXPECT_EQ(save(*t).toStdString(), expected);
}

TEST_F(ReadingFileSaved, GbkBytes) {
    auto t = makeTestForm(dir.filePath("folder"), "GBK");
    show(*t, 2, {"0.00 Ω", "2.00KΩ", "3.00KΩ", "123.4Ωm", "5.0m", "0.0 V", "0.00 mA"});
    const QByteArray expected = QByteArray(9, ' ') + "    \xA6\xD1    " + "   \xA6\xD1 length    " +
                                "   Rc   " + "   Rp    " + "\r\n" + QByteArray(11, ' ') +
                                "123.4\xA6\xB8m" + QByteArray(5, ' ') + "5.0m" +
                                QByteArray(7, ' ') + "2.00K\xA6\xB8" + QByteArray(2, ' ') +
                                "3.00K\xA6\xB8" + "\r\n";
    EXPECT_EQ(save(*t).toHex(' '), expected.toHex(' '));
}

TEST_F(ReadingFileSaved, GbkStartUpTexts) {
    auto t = makeTestForm(dir.filePath("folder"), "GBK");
    t->form->measureMode = 1;
    const QByteArray expected = QByteArray(9, ' ') + "    R    " + "   Rc    " + "   Rp   " +
                                "\r\n" + QByteArray(11, ' ') + "0.00 \xA6\xB8" +
                                QByteArray(3, ' ') + "0.00 K\xA6\xB8" + QByteArray(3, ' ') +
                                "0.00 K\xA6\xB8" + "\r\n";
    EXPECT_EQ(save(*t).toHex(' '), expected.toHex(' '));
}

TEST_F(ReadingFileSaved, UnknownModeLeavesAnEmptyFileInPlaceOfAnOldOne) {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents\r\n");
    old.close();
    auto t = makeTestForm(dir.filePath("folder"));
    t->form->measureMode = 9;
    EXPECT_EQ(save(*t), QByteArray());
    EXPECT_TRUE(QFileInfo::exists(path));
}

// The labels are read when the dialog closes: readings go on while it is open.
TEST_F(ReadingFileSaved, TakesTheReadingShownWhenTheDialogCloses) {
    auto t = makeTestForm(dir.filePath("folder"));
    t->form->liveView = true;
    TestForm* raw = t.get();
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 2, [raw] {
                                      show(*raw, 3, {"", "", "", "", "", "1.5V", ""});
                                  }});
    t->form->Command2_Click();
    EXPECT_EQ(readBytes(path).toStdString(), sp(9) + "    V:    1.5V\r\n");
}

}  // namespace
}  // namespace kelvora::testing
