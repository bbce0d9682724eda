#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

#include "app/form1.h"
#include "app/time_format.h"

namespace kelvora {

QString withoutTimeZone(const QString& format) {
    static const QRegularExpression zoneField(QStringLiteral("('[^']*')|\\s*\\(?t+\\)?"));
    QString result;
    qsizetype copied = 0;
    for (auto match = zoneField.globalMatch(format); match.hasNext();) {
        const QRegularExpressionMatch next = match.next();
        if (!next.captured(1).isEmpty()) {
            continue;
        }
        result += format.mid(copied, next.capturedStart() - copied);
        copied = next.capturedEnd();
    }
    result += format.mid(copied);
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
