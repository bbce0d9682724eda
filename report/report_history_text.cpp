#include "report/report_history_text.h"

#include <QCoreApplication>
#include <QStringList>

#include "visit/report_settings.h"

namespace kelvora::report {

namespace {

QString percent(double value, bool signed_) {
    const QString number = QString::number(value, 'f', 1);
    return (signed_ && value > 0 ? QStringLiteral("+") : QString()) + number + QLatin1Char('%');
}

}  // namespace

QString previousValueText(const ReportPointHistory& history) {
    if (history.previousDate.isEmpty()) {
        return QStringLiteral("—");
    }
    return history.previousText.startsWith(QLatin1String("OL"))
               ? QCoreApplication::translate("kelvora::report", "超量程")
               : history.previousText;
}

QString changeText(const ReportPointHistory& history) {
    return history.changePercent ? percent(*history.changePercent, true) : QStringLiteral("—");
}

bool flagged(const ReportPointHistory& history) {
    return history.failedLimitOhm || history.overload || history.riseAboveBaseline;
}

QString historyNote(const ReportPointHistory& history, const QString& note) {
    QStringList lines = {
        QCoreApplication::translate("kelvora::report", "测试点：%1").arg(history.point)};
    if (!note.isEmpty()) {
        lines << note;
    }
    QStringList why;
    if (history.failedLimitOhm) {
        // The limit and its unit are not parted at a line's end.
        why << QCoreApplication::translate("kelvora::report", "超过限值 %1")
                   .arg(limitText(*history.failedLimitOhm) + QChar(0x00A0) + QChar(0x03A9));
    }
    if (history.overload) {
        why << QCoreApplication::translate("kelvora::report", "超量程");
    }
    if (history.riseAboveBaseline) {
        why << QCoreApplication::translate("kelvora::report", "比基准上升 %1（超过 %2）")
                   .arg(percent(*history.riseAboveBaseline, false),
                        QString::number(history.thresholdPercent) + QLatin1Char('%'));
    }
    if (!why.isEmpty()) {
        lines << QCoreApplication::translate("kelvora::report", "需关注：%1")
                     .arg(why.join(QCoreApplication::translate("kelvora::report", "；")));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace kelvora::report
