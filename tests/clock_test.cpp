#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>

#include "app/time_format.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// Before the first tick and on every tick: the system locale's short date, long time sans zone.
TEST(Clock, PanelsFollowTheInjectedClockAcrossMidnight) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const QLocale sys = QLocale::system();
    for (const QDateTime& at : {QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)),
                                QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)),
                                QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0))}) {
        if (t->clock->time != at) {
            t->clock->time = at;
            f.Timer1_Timer();
        }
        EXPECT_EQ(f.StatusBar1Panels[0]->text(), sys.toString(at.date(), QLocale::ShortFormat));
        EXPECT_EQ(f.StatusBar1Panels[2]->text(), sys.toString(at.time(), timeOfDayFormat(sys)));
    }
}

TEST(Clock, ZoneFieldsAreDroppedAndQuotedTextKept) {
    const std::pair<const char*, const char*> cases[] = {
        {"h:mm:ss AP t", "h:mm:ss AP"},
        {"HH:mm:ss (tttt)", "HH:mm:ss"},
        {"H'h'mm'min'ss's' t", "H'h'mm'min'ss's'"},
        {"HH 'heure et' mm:ss", "HH 'heure et' mm:ss"}};
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(withoutTimeZone(QString::fromUtf8(format)), QString::fromUtf8(expected))
            << format;
    for (const char* name : {"en_US", "zh_CN", "de_DE"}) {
        const QString format = timeOfDayFormat(QLocale(QString::fromLatin1(name)));
        EXPECT_TRUE(format.contains(QLatin1Char('s')) && !format.contains(QLatin1Char('t')))
            << name;
    }
}

}  // namespace
}  // namespace kelvora::testing
