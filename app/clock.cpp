#include <QLabel>
#include <QLocale>

#include "app/form1.h"
#include "app/time_format.h"

namespace kelvora {

// Drops each zone field (a run of 't', perhaps in parentheses, with the spaces before it) and
// keeps quoted text as it is. Scanned by hand: a regular expression here would load and
// compile one at every start for a few characters.
QString withoutTimeZone(const QString& format) {
    QString result;
    const qsizetype size = format.size();
    for (qsizetype at = 0; at < size;) {
        if (format[at] == QLatin1Char('\'')) {
            const qsizetype close = format.indexOf(QLatin1Char('\''), at + 1);
            if (close >= 0) {
                result += QStringView(format).mid(at, close + 1 - at);
                at = close + 1;
                continue;
            }
        }
        qsizetype end = at;
        while (end < size && format[end].isSpace()) {
            ++end;
        }
        if (end < size && format[end] == QLatin1Char('(')) {
            ++end;
        }
        if (end < size && format[end] == QLatin1Char('t')) {
            while (end < size && format[end] == QLatin1Char('t')) {
                ++end;
            }
            if (end < size && format[end] == QLatin1Char(')')) {
                ++end;
            }
            at = end;  // a zone field
            continue;
        }
        result += format[at++];
    }
    return result.trimmed();
}

QString timeOfDayFormat(const QLocale& locale) {
    // Outside Windows the long format may carry the time zone; the panel shows the time of
    // day alone, and a zone name would not fit it.
    return withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
}

void Form1::Timer1_Timer() {
    const QDateTime now = clock->now();
    const QLocale locale = QLocale::system();
    StatusBar1Panels[0]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    StatusBar1Panels[2]->setText(locale.toString(now.time(), timeOfDayFormat(locale)));
}

}  // namespace kelvora
