#include <gtest/gtest.h>

#include <QStringEncoder>

#include "platform/text_codec.h"

namespace kelvora::testing {
namespace {

struct CodesetCase {
    const char* codeset;
    const char* charset;
};

void PrintTo(const CodesetCase& c, std::ostream* os) {
    *os << '"' << c.codeset << '"';
}

class TextCharsetForCodeset : public ::testing::TestWithParam<CodesetCase> {};

TEST_P(TextCharsetForCodeset, KeepsChineseSetsAndMakesTheRestUtf8) {
    EXPECT_EQ(textCharsetForCodeset(GetParam().codeset), QByteArray(GetParam().charset));
}

INSTANTIATE_TEST_SUITE_P(
    Codesets, TextCharsetForCodeset,
    ::testing::Values(CodesetCase{"GBK", "GBK"}, CodesetCase{"gbk", "GBK"},
                      CodesetCase{"GB18030", "GB18030"}, CodesetCase{"GB2312", "GB2312"},
                      CodesetCase{"EUC-CN", "GB2312"}, CodesetCase{"UTF-8", "UTF-8"},
                      CodesetCase{"ANSI_X3.4-1968", "UTF-8"}, CodesetCase{"ISO-8859-1", "UTF-8"},
                      CodesetCase{"BIG5", "UTF-8"}, CodesetCase{"", "UTF-8"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(SystemTextCharset, IsOneThatHoldsRhoAndOhm) {
    const QByteArray charset = systemTextCharset();
    EXPECT_TRUE(charset == "UTF-8" || charset == "GBK" || charset == "GB18030" ||
                charset == "GB2312")
        << charset.constData();
    const std::optional<QByteArray> bytes = encodeText(QStringLiteral("ρΩ"), charset);
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(bytes->contains('?'));
}

struct EncodeCase {
    const char* charset;
    const char* text;  // UTF-8
    QByteArray expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.charset << " " << QByteArray(c.text).toHex().constData();
}

class EncodeText : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeText, GivesTheCodePageBytes) {
    const std::optional<QByteArray> bytes =
        encodeText(QString::fromUtf8(GetParam().text), GetParam().charset);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->toHex(' '), GetParam().expected.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, EncodeText,
    ::testing::Values(EncodeCase{"GBK", "ρ", QByteArray::fromHex("A6D1")},
                      EncodeCase{"GBK", "Ω", QByteArray::fromHex("A6B8")},
                      EncodeCase{"GB2312", "ρΩ", QByteArray::fromHex("A6D1A6B8")},
                      EncodeCase{"GB18030", "ρΩ", QByteArray::fromHex("A6D1A6B8")},
                      EncodeCase{"GBK", "12.34KΩ\r\n", QByteArray("12.34K\xA6\xB8\r\n")},
                      EncodeCase{"GBK", "", QByteArray()},
                      EncodeCase{"UTF-8", "ρΩ", QByteArray::fromHex("CF81CEA9")},
                      EncodeCase{"utf8", "0.00 Ωm", QByteArray("0.00 \xCE\xA9m")},
                      // Characters the set cannot hold become "?", one each, and the text goes on.
                      EncodeCase{"GBK",
                                 "a\xF0\x9F\x98\x80"
                                 "b",
                                 QByteArray("a?b")},
                      EncodeCase{"GB2312", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80Ω",
                                 QByteArray("??\xA6\xB8")}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(EncodeText, UnknownCharsetIsRefused) {
    EXPECT_FALSE(encodeText(QStringLiteral("x"), "NO-SUCH-CHARSET"));
}

TEST(EncodeText, LongTextsGrowTheBuffer) {
    const QString text = QStringLiteral("ρ").repeated(100000) + QStringLiteral("\U0001F600");
    const std::optional<QByteArray> bytes = encodeText(text, "GBK");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 200001);
    EXPECT_TRUE(bytes->endsWith("\xA6\xD1?"));
}

// Where Qt itself knows the Chinese sets (built with ICU), both conversions agree.
TEST(EncodeText, AgreesWithQtWhereQtKnowsTheSet) {
    const QString sample = QString::fromUtf8(
        "NO.  R      ρ      ρLenght       Rc      Rp            I 保存失败 OL KΩm 12.3mA 0.0 V");
    for (const char* charset : {"GBK", "GB18030", "GB2312"}) {
        QStringEncoder qt(charset);
        if (!qt.isValid()) {
            continue;
        }
        const std::optional<QByteArray> ours = encodeText(sample, charset);
        ASSERT_TRUE(ours) << charset;
        EXPECT_EQ(ours->toHex(), QByteArray(qt.encode(sample)).toHex()) << charset;
    }
}

}  // namespace
}  // namespace kelvora::testing
