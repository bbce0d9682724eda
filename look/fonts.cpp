#include "look/fonts.h"

namespace kelvora {

namespace {
constexpr char kSimSun[] = "宋体";
}  // namespace

QStringList simSunStandIns() {
    return {
        QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"),
        QStringLiteral("宋体"),
        QStringLiteral("Songti SC"),
        QStringLiteral("STSong"),
        QStringLiteral("AR PL UMing CN"),
        QStringLiteral("AR PL SungtiL GB"),
        QStringLiteral("Noto Serif CJK SC"),
        QStringLiteral("Source Han Serif SC"),
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"),
        QStringLiteral("WenQuanYi Zen Hei"),
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Droid Sans Fallback"),
        QStringLiteral("PingFang SC"),
        QStringLiteral("Microsoft YaHei"),
        // Windows names a family in the user's language when it has such a name.
        QStringLiteral("新宋体"),
        QStringLiteral("微软雅黑"),
        QStringLiteral("文泉驿正黑"),
        QStringLiteral("文泉驿微米黑"),
    };
}

void installFontSubstitutions() {
    const QStringList standIns = simSunStandIns();
    for (const QString& family : {QString::fromUtf8(kSimSun), QStringLiteral("SimSun")}) {
        QStringList others = standIns;
        others.removeAll(family);
        // Substitutes are consulted only when the family itself is not installed, so on a
        // system that has SimSun nothing changes. Replacing the list keeps repeated calls from
        // growing it.
        QFont::removeSubstitutions(family);
        QFont::insertSubstitutions(family, others);
    }
}

QFont simSunFont(double pointSize, bool bold) {
    QFont font(QString::fromUtf8(kSimSun));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::Serif);
    return font;
}

}  // namespace kelvora
