#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/twip_label.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// What the live labels show after a reading.
const std::pair<LabelArray Form1::*, QString> kSample[] = {
    {&Form1::r, "12.34KΩ"}, {&Form1::rc, "2.00KΩ"},     {&Form1::rp, "3.00KΩ"},
    {&Form1::p, "123.4Ωm"}, {&Form1::p_length, "5.0m"}, {&Form1::v, "50.0V"},
    {&Form1::i, "OL mA"}};

const QByteArray kRHeader = sp(9) + "    R    " + "   Rc    " + "   Rp   \r\n";
const QByteArray kRhoHeader =
    sp(9) + "    ρ    " + "   ρ length    " + "   Rc   " + "   Rp    \r\n";

// Records of each kind, columns 0 to 7, and their lines.
const QStringList kResistance = {"1", "12.34KΩ", "", "", "2.00KΩ", "3.00KΩ", "", ""};
const QStringList kResistivity = {"2", "", "123.4Ωm", "5.0m", "2.00KΩ", "3.00KΩ", "", ""};
const QStringList kCurrent = {"3", "", "", "", "", "", "12.3mA", ""};
const QStringList kVoltage = {"4", "", "", "", "", "", "", "50.0V"};
const QStringList kOverload = {"5", "OL KΩ", "", "", "OL KΩ", "2.00KΩ", "", ""};

const QByteArray kHeader = "NO." + sp(2) + "R" + sp(6) + "ρ" + sp(6) + "ρLenght" + sp(7) + "Rc" +
                           sp(6) + "Rp" + sp(12) + "I" + sp(12) + "V\r\n";
const QByteArray kResistanceLine =
    "1" + sp(2) + "12.34KΩ" + sp(19) + "2.00KΩ" + sp(6) + "3.00KΩ" + sp(14) + "\r\n";
const QByteArray kResistivityLine = "2" + sp(8) + "123.4Ωm" + sp(8) + "5.0m" + sp(9) + "2.00KΩ" +
                                    sp(8) + "3.00KΩ" + sp(14) + "\r\n";
const QByteArray kCurrentLine = "3" + sp(34) + "12.3mA" + sp(7) + "\r\n";
// The voltage column: 34 spaces up to the current column, 7 more before the voltage.
const QByteArray kVoltageLine = "4" + sp(41) + "50.0V\r\n";
const QByteArray kOverloadLine =
    "5" + sp(2) + "OL KΩ" + sp(19) + "OL KΩ" + sp(6) + "2.00KΩ" + sp(14) + "\r\n";

struct TextCase {
    const char* name;
    const char* charset;
    bool liveTab;  // the reading file; else the record file
    int number;    // the measure mode, or recordTotal
    bool shown;    // a reading or records shown; else the window as after start-up
    QList<QStringList> records;
    QByteArray expected;
};

// clang-format off
const TextCase kCases[] = {
    {"EarthResistance", "UTF-8", true, 1, true, {},
     kRHeader + sp(11) + "12.34KΩ" + sp(3) + "2.00KΩ" + sp(3) + "3.00KΩ\r\n"},
    {"SoilResistivity", "UTF-8", true, 2, true, {},
     kRhoHeader + sp(11) + "123.4Ωm" + sp(5) + "5.0m" + sp(7) + "2.00KΩ" + sp(2) + "3.00KΩ\r\n"},
    {"EarthVoltage", "UTF-8", true, 3, true, {}, sp(9) + "    V:    50.0V\r\n"},
    {"ClampCurrentOverloadKeepsItsSpace", "UTF-8", true, 4, true, {}, sp(9) + "    I:    OL mA\r\n"},
    {"UnknownModeEmptiesTheFile", "UTF-8", true, 9, true, {}, ""},
    {"GbkStartUpTexts", "GBK", true, 2, false, {},
     sp(9) + "    \xA6\xD1    " + "   \xA6\xD1 length    " + "   Rc   " + "   Rp    \r\n" + sp(11) +
     "0.00 \xA6\xB8m" + sp(5) + "0.00 m" + sp(7) + "0.00 K\xA6\xB8" + sp(2) + "0.00 K\xA6\xB8\r\n"},
    {"NoRecords", "UTF-8", false, 0, false, {}, kHeader + sp(41) + "\r\n"},
    {"EveryKind", "UTF-8", false, 5, true, {kResistance, kResistivity, kCurrent, kVoltage, kOverload},
     kHeader + kResistanceLine + kResistivityLine + kCurrentLine + kVoltageLine + kOverloadLine},
    {"TotalLargerThanTable", "UTF-8", false, 5, true, {kResistance, kResistivity},
     kHeader + kResistanceLine + kResistivityLine},
    {"TotalSmallerThanTable", "UTF-8", false, 2, true, {kResistance, kResistivity, kCurrent},
     kHeader + kResistanceLine + kResistivityLine},
    {"GbkRecords", "GBK", false, 2, true, {kResistivity, kVoltage},
     "NO.  R      \xA6\xD1      \xA6\xD1Lenght       Rc      Rp            I            V\r\n"
     "2        123.4\xA6\xB8m        5.0m         2.00K\xA6\xB8        3.00K\xA6\xB8" + sp(14) +
     "\r\n" + kVoltageLine},
};
// clang-format on

// The whole command with the text type picked, over an old file. The window changes while the
// dialog is open: the file holds what it shows when the dialog closes.
TEST(TextFile, ReadingAndRecordFilesByteForByte) {
    for (const TextCase& c : kCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.txt");
        ASSERT_TRUE(writeBytes(path, "old contents\r\n"));
        auto t = makeTestForm(dir.filePath("folder"), c.charset);
        Form1& form = *t->form;
        form.liveView = c.liveTab;
        form.measureMode = c.liveTab ? c.number : 2;
        const auto show = [&] {
            if (c.shown && c.liveTab)
                for (const auto& [label, text] : kSample) (form.*label)[0]->setCaption(text);
            else if (c.shown)
                fillTable(form, c.records);
            form.recordTotal = int16_t(c.liveTab ? 0 : c.number);
        };
        t->dialog->answers.push_back(
            {{DialogOutcome::Accepted, {}}, path, c.liveTab ? 2 : 1, show});
        form.Command2_Click();
        EXPECT_EQ(readBytes(path).toHex(' '), c.expected.toHex(' '));
        EXPECT_TRUE(t->messages->shown.isEmpty());
    }
}

}  // namespace
}  // namespace kelvora::testing
