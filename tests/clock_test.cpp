#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>
#include <QTabBar>

#include "app/time_format.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

QString shortDate(const QDate& date) {
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

TEST(Clock, PanelsAreFilledBeforeTheFirstTick) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_EQ(f.StatusBar1Panels[0]->text(), shortDate(QDate(2026, 12, 6)));
    EXPECT_FALSE(f.StatusBar1Panels[2]->text().isEmpty());
    EXPECT_TRUE(f.StatusBar1Panels[2]->text().contains(QStringLiteral("05")));
    EXPECT_TRUE(f.StatusBar1Panels[2]->text().contains(QStringLiteral("07")));
    EXPECT_EQ(f.StatusBar1Panels[1]->text(), QStringLiteral("Kelvora"));
    EXPECT_TRUE(f.Timer1.isActive());
    EXPECT_EQ(f.Timer1.interval(), 1000);
}

TEST(Clock, EachTickShowsTheClockSeamsTimeWithSeconds) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const QLocale locale = QLocale::system();
    const QTime times[] = {QTime(0, 0, 0), QTime(9, 5, 7), QTime(12, 30, 59), QTime(23, 59, 58)};
    for (const QTime& time : times) {
        t->clock->time = QDateTime(QDate(2027, 3, 14), time);
        f.Timer1_Timer();
        EXPECT_EQ(f.StatusBar1Panels[0]->text(), shortDate(QDate(2027, 3, 14)));
        EXPECT_EQ(f.StatusBar1Panels[2]->text(), locale.toString(time, timeOfDayFormat(locale)));
        EXPECT_TRUE(f.StatusBar1Panels[2]->text().contains(
            QStringLiteral("%1").arg(time.second(), 2, 10, QLatin1Char('0'))));
    }
    EXPECT_EQ(f.StatusBar1Panels[1]->text(), QStringLiteral("Kelvora"));
}

TEST(Clock, AcrossMidnightTheNextTickShowsTheNewDate) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    t->clock->time = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
    f.Timer1_Timer();
    EXPECT_EQ(f.StatusBar1Panels[0]->text(), shortDate(QDate(2026, 12, 31)));
    t->clock->time = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0));
    f.Timer1_Timer();
    EXPECT_EQ(f.StatusBar1Panels[0]->text(), shortDate(QDate(2027, 1, 1)));
}

TEST(Clock, KeepsRunningWhateverTheTabAndTheLink) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.TabStrip1->setCurrentIndex(1);
    f.TabStrip1_Click();
    f.comConnected = true;
    t->clock->time = QDateTime(QDate(2026, 12, 7), QTime(1, 2, 3));
    f.Timer1_Timer();
    EXPECT_EQ(f.StatusBar1Panels[0]->text(), shortDate(QDate(2026, 12, 7)));
    EXPECT_TRUE(f.Timer1.isActive());
}

// The time panel shows the locale's own long time format, without a time-zone name.
class TimeOfDayFormat : public ::testing::TestWithParam<const char*> {};

TEST_P(TimeOfDayFormat, KeepsSecondsAndDropsTheZone) {
    const QLocale locale(QString::fromLatin1(GetParam()));
    const QString format = timeOfDayFormat(locale);
    EXPECT_FALSE(format.contains(QLatin1Char('t'))) << format.toStdString();
    EXPECT_TRUE(format.contains(QLatin1Char('s'))) << format.toStdString();
    EXPECT_TRUE(format.contains(QLatin1Char('m'))) << format.toStdString();
    EXPECT_EQ(format, format.trimmed());
    // Seconds shown: two times a second apart read differently in every locale's digits.
    EXPECT_NE(locale.toString(QTime(21, 5, 7), format), locale.toString(QTime(21, 5, 8), format));
}

INSTANTIATE_TEST_SUITE_P(Locales, TimeOfDayFormat,
                         ::testing::Values("C", "en_US", "en_GB", "zh_CN", "zh_TW", "de_DE",
                                           "fr_FR", "ja_JP", "ko_KR", "ru_RU", "ar_EG"));

struct ZoneCase {
    const char* format;
    const char* expected;
};

class WithoutTimeZone : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(WithoutTimeZone, RemovesZoneFieldsOnly) {
    EXPECT_EQ(withoutTimeZone(QString::fromUtf8(GetParam().format)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WithoutTimeZone,
    ::testing::Values(ZoneCase{"HH:mm:ss", "HH:mm:ss"}, ZoneCase{"h:mm:ss AP t", "h:mm:ss AP"},
                      ZoneCase{"HH:mm:ss t", "HH:mm:ss"}, ZoneCase{"HH:mm:ss tttt", "HH:mm:ss"},
                      ZoneCase{"t HH:mm:ss", "HH:mm:ss"}, ZoneCase{"HH:mm:ss (t)", "HH:mm:ss"},
                      ZoneCase{"Ah:mm:ss", "Ah:mm:ss"},
                      ZoneCase{"H'h'mm'min'ss's' t", "H'h'mm'min'ss's'"},
                      ZoneCase{"HH 'heure et' mm:ss", "HH 'heure et' mm:ss"}, ZoneCase{"", ""}));

}  // namespace
}  // namespace kelvora::testing
