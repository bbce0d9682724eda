#include "files/soil_sheet.h"

#include "soil/soil_selection.h"
#include "soil/soil_texts.h"

namespace kelvora {

namespace {

SheetCell text(const QString& value, bool bold = false) {
    return {value, std::nullopt, bold};
}
SheetCell number(double value) {
    return {QString(), value, false};
}
SheetCell spread(const std::optional<double>& sigma) {
    return sigma ? number(*sigma) : text(soil::spreadText(sigma, 0, soil::Wording::Stored));
}

}  // namespace

SheetRows soilModelSheet(const soil::SoilSelection& selection) {
    const std::vector<soil::SoilPoint> used = selection.usedPoints();
    if (selection.survey().points.empty()) {
        return {};
    }
    SheetRows rows;
    rows.push_back({text(QStringLiteral("层数"), true), number(selection.layers())});
    const soil::SoilModel* model = selection.chosenModel();
    const QString problem = soil::modelProblemText(selection, soil::Wording::Stored);
    if (!problem.isEmpty()) {
        rows.push_back({text(QStringLiteral("说明"), true), text(problem)});
    }
    if (model == nullptr) {
        return rows;
    }
    rows.push_back({text(QStringLiteral("均方根误差/%"), true), number(model->rmsPercent)});
    rows.push_back({text(QStringLiteral("测点数"), true), number(double(used.size()))});
    rows.push_back({});
    rows.push_back({text(QStringLiteral("层"), true), text(QStringLiteral("ρ/Ωm"), true),
                    text(QStringLiteral("ρ ±1σ/Ωm"), true), text(QStringLiteral("厚度/m"), true),
                    text(QStringLiteral("厚度 ±1σ/m"), true)});
    for (int i = 0; i < model->layers(); ++i) {
        const bool last = i + 1 == model->layers();
        rows.push_back(
            {number(i + 1), number(model->earth.rho[size_t(i)]), spread(model->rhoSigma[size_t(i)]),
             last ? text(QStringLiteral("∞")) : number(model->earth.thickness[size_t(i)]),
             last ? text(QString()) : spread(model->thicknessSigma[size_t(i)])});
    }
    rows.push_back({});
    rows.push_back({text(QStringLiteral("记录号"), true), text(QStringLiteral("ρ长度/m"), true),
                    text(QStringLiteral("ρ/Ωm"), true), text(QStringLiteral("模型ρ/Ωm"), true),
                    text(QStringLiteral("误差/%"), true)});
    for (size_t k = 0; k < used.size(); ++k) {
        const double error = model->errorsPercent[k];
        rows.push_back({number(used[k].record), number(used[k].spacing), number(used[k].rho),
                        number(used[k].rho * (1 - error / 100)), number(error)});
    }
    return rows;
}

}  // namespace kelvora
