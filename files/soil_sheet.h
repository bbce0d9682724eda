#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace kelvora {

namespace soil {
class SoilSelection;
}

struct SheetCell {
    QString text;  // shown when there is no number
    std::optional<double> number;
    bool bold = false;
};
using SheetRows = std::vector<std::vector<SheetCell>>;

// The workbook's sheet of the soil model chosen in the chart window: the layers with their
// spreads, the RMS error and the points used, each with the model's value and its error; or
// why there is no model. Empty when the records hold no survey point.
SheetRows soilModelSheet(const soil::SoilSelection& selection);

}  // namespace kelvora
