#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>

#include "app/time_format.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// Regional settings of the systems the captions are written for, read when Qt starts.
const bool kChineseSystem = qputenv("LC_ALL", "zh_CN.UTF-8");

// Filled before the first tick and on every tick: the short date, the time with its seconds.
TEST(Clock, PanelsShowTheDateAndTimeAcrossMidnight) {
    ASSERT_TRUE(kChineseSystem && QLocale::system().name() == QStringLiteral("zh_CN"));
    auto t = makeTestForm();
    const std::pair<QDateTime, const char*> cases[] = {
        {{{2026, 12, 6}, {9, 5, 7}}, "2026/12/6 09:05:07"},
        {{{2026, 12, 31}, {23, 59, 58}}, "2026/12/31 23:59:58"},
        {{{2027, 1, 1}, {0, 0, 0}}, "2027/1/1 00:00:00"}};
    for (const auto& [at, shown] : cases) {
        if (t->clock->time != at) {
            t->clock->time = at;
            t->form->Timer1_Timer();
        }
        EXPECT_EQ(t->form->StatusBar1Panels[0]->text() + ' ' + t->form->StatusBar1Panels[2]->text(),
                  QString::fromLatin1(shown));
    }
}

// Elsewhere the long time format may name the zone, which the panel has no room for.
TEST(Clock, ZoneFieldsAreDroppedAndQuotedTextKept) {
    const std::pair<const char*, const char*> cases[] = {
        {"h:mm:ss AP t", "h:mm:ss AP"},
        {"HH:mm:ss (tttt)", "HH:mm:ss"},
        {"H'h'mm'min'ss's' t", "H'h'mm'min'ss's'"},
        {"HH 'heure et' mm:ss", "HH 'heure et' mm:ss"}};
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(withoutTimeZone(QString::fromUtf8(format)), QString::fromUtf8(expected))
            << format;
}

}  // namespace
}  // namespace kelvora::testing
