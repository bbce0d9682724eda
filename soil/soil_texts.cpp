#include "soil/soil_texts.h"

#include "soil/soil_selection.h"

#include <QCoreApplication>
#include <cmath>

namespace kelvora::soil {

namespace {

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString worded(Wording wording, const char* source) {
    return wording == Wording::Stored ? QString::fromUtf8(source)
                                      : QCoreApplication::translate("kelvora::soil", source);
}

QString shown(const char* source) {
    return QCoreApplication::translate("kelvora::soil", source);
}

}  // namespace

QString rhoText(double rho) {
    return fixed(rho, 1);
}

QString thicknessText(double thickness) {
    return fixed(thickness, 2);
}

QString spreadText(const std::optional<double>& sigma, int decimals, Wording wording) {
    return sigma ? QStringLiteral("±") + fixed(*sigma, decimals)
                 : worded(wording, QT_TRANSLATE_NOOP("kelvora::soil", "无法确定"));
}

QStringList layerTableHeader() {
    return {shown(QT_TRANSLATE_NOOP("kelvora::soil", "层")), QStringLiteral("ρ/Ωm"),
            QStringLiteral("±1σ"), shown(QT_TRANSLATE_NOOP("kelvora::soil", "厚度/m")),
            QStringLiteral("±1σ")};
}

std::vector<QStringList> layerTableRows(const SoilModel& model) {
    std::vector<QStringList> rows;
    for (int i = 0; i < model.layers(); ++i) {
        const bool last = i + 1 == model.layers();
        rows.push_back(
            {QString::number(i + 1), rhoText(model.earth.rho[size_t(i)]),
             spreadText(model.rhoSigma[size_t(i)], 1),
             last ? QStringLiteral("∞") : thicknessText(model.earth.thickness[size_t(i)]),
             last ? QString() : spreadText(model.thicknessSigma[size_t(i)], 2)});
    }
    return rows;
}

QString rmsText(const SoilModel& model) {
    return shown(QT_TRANSLATE_NOOP("kelvora::soil", "均方根误差 %1%"))
        .arg(fixed(model.rmsPercent, 2));
}

QString rmsComparisonText(const std::vector<SoilModel>& models) {
    QStringList parts;
    for (const SoilModel& model : models) {
        parts << shown(QT_TRANSLATE_NOOP("kelvora::soil", "%1层 %2%%3"))
                     .arg(model.layers())
                     .arg(fixed(model.rmsPercent, 2))
                     .arg(model.converged
                              ? QString()
                              : shown(QT_TRANSLATE_NOOP("kelvora::soil", "（未收敛）")));
    }
    return parts.join(QStringLiteral(" · "));
}

QString modelProblemText(int layers, const std::vector<SoilPoint>& points, const SoilModel* model,
                         Wording wording) {
    const int spacings = distinctSpacings(points);
    if (spacings > kMaxFittedSpacings) {
        return worded(wording, QT_TRANSLATE_NOOP("kelvora::soil",
                                                 "测点的间距多达%1种（拟合至多%2种），应是几次"
                                                 "测量混在一起：请去掉不属于本次测量的测点。"))
            .arg(spacings)
            .arg(kMaxFittedSpacings);
    }
    const int used = int(points.size());
    const int needed = 2 * layers - 1;
    if (used < needed) {
        return worded(wording, QT_TRANSLATE_NOOP("kelvora::soil",
                                                 "测点不足：%1层模型至少需要%2个测点，现有%3个。"))
            .arg(layers)
            .arg(needed)
            .arg(used);
    }
    if (model != nullptr && !model->converged) {
        return worded(wording,
                      QT_TRANSLATE_NOOP("kelvora::soil", "%1层模型的拟合未收敛，结果不可用。"))
            .arg(layers);
    }
    return {};
}

QString modelProblemText(const SoilSelection& selection, Wording wording) {
    return modelProblemText(selection.layers(), selection.usedPoints(), selection.chosenModel(),
                            wording);
}

}  // namespace kelvora::soil
