#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "soil/soil_fit.h"

namespace kelvora::soil {

class SoilSelection;

// Texts in the windows and the report follow the interface language; texts stored in the
// workbook keep their Chinese wording, which files read by other programs rely on.
enum class Wording { Shown, Stored };

// ρ to 0.1 Ωm, a thickness to 0.01 m.
QString rhoText(double rho);
QString thicknessText(double thickness);
// "±12.3", or "无法确定" where the data cannot determine the parameter.
QString spreadText(const std::optional<double>& sigma, int decimals,
                   Wording wording = Wording::Shown);

// Header and rows of the layer table: 层, ρ/Ωm, ±1σ, 厚度/m, ±1σ; the last layer reaches down
// without end ("∞").
QStringList layerTableHeader();
std::vector<QStringList> layerTableRows(const SoilModel& model);

// "均方根误差 2.83%".
QString rmsText(const SoilModel& model);
// "1层 52.23% · 2层 2.83% · 3层 0.17%", a layer count the points cannot carry left out.
QString rmsComparisonText(const std::vector<SoilModel>& models);

// Why the model of `layers` layers cannot be shown for the points used, or that it did not
// converge; empty when it stands.
QString modelProblemText(int layers, const std::vector<SoilPoint>& used, const SoilModel* model,
                         Wording wording = Wording::Shown);
QString modelProblemText(const SoilSelection& selection, Wording wording = Wording::Shown);

}  // namespace kelvora::soil
