#include "visit/report_settings.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <cmath>
#include <memory>

#include "files/record_sheet.h"

namespace kelvora::report {

namespace {

const QString kLimitKey = QStringLiteral("report/limitOhm");

QString fieldKey(SiteField field) {
    return QStringLiteral("report/") + QString::fromLatin1(siteFieldKey(field));
}

}  // namespace

ReportSettings loadReportSettings(const QSettings& store) {
    ReportSettings settings;
    for (int field = 0; field < kSiteFieldCount; ++field) {
        if (field != TestDate) {
            settings.site[size_t(field)] = store.value(fieldKey(SiteField(field))).toString();
        }
    }
    QString why;
    settings.limitOhm =
        parseLimit(store.value(kLimitKey).toString(), &why).value_or(kDefaultLimitOhm);
    return settings;
}

void saveReportSettings(QSettings& store, const ReportSettings& settings) {
    for (int field = 0; field < kSiteFieldCount; ++field) {
        if (field != TestDate) {
            store.setValue(fieldKey(SiteField(field)), settings.site[size_t(field)]);
        }
    }
    store.setValue(kLimitKey, limitText(settings.limitOhm));
    store.sync();
}

std::optional<double> parseLimit(const QString& text, QString* why) {
    static const QRegularExpression kNumber(QStringLiteral("^\\d+(\\.\\d{1,2})?$"));
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        *why = QCoreApplication::translate("kelvora::report", "请填写限值");
        return std::nullopt;
    }
    if (!kNumber.match(typed).hasMatch()) {
        *why = QCoreApplication::translate("kelvora::report", "限值须为正数，最多两位小数");
        return std::nullopt;
    }
    const double limit = typed.toDouble();
    if (!(limit > 0) || !std::isfinite(limit)) {
        *why = QCoreApplication::translate("kelvora::report", "限值须大于 0");
        return std::nullopt;
    }
    if (limit > kMostLimitOhm) {
        *why = QCoreApplication::translate("kelvora::report",
                                           "限值大于仪器能显示的最大电阻 65535 KΩ，应是输错了");
        return std::nullopt;
    }
    return limit;
}

QString limitText(double limitOhm) {
    return plainNumber(limitOhm);
}

}  // namespace kelvora::report
