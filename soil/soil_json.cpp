#include "soil/soil_json.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace kelvora::soil {

namespace {

// The shortest text that reads back as the same double, with a dot in every locale.
QByteArray number(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) {
        return QByteArrayLiteral("null");
    }
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, *value).ptr;
    return QByteArray(digits, int(end - digits));
}

template <typename Values>
QByteArray array(const Values& values) {
    QByteArray text = "[";
    for (size_t k = 0; k < values.size(); ++k) {
        text += (k > 0 ? ", " : "") + number(values[k]);
    }
    return text + "]";
}

}  // namespace

QByteArray soilModelsJson(int points, int used, const std::vector<SoilModel>& models) {
    QByteArray json = "{\"points\": " + QByteArray::number(points) +
                      ", \"used\": " + QByteArray::number(used) + ", \"models\": [";
    for (size_t m = 0; m < models.size(); ++m) {
        const SoilModel& model = models[m];
        json += (m > 0 ? ", " : "") + QByteArray("{\"layers\": ") +
                QByteArray::number(model.layers()) + ", \"rho\": " + array(model.earth.rho) +
                ", \"thickness\": " + array(model.earth.thickness) +
                ", \"rho_sigma\": " + array(model.rhoSigma) +
                ", \"thickness_sigma\": " + array(model.thicknessSigma) +
                ", \"rms_percent\": " + number(model.rmsPercent) +
                ", \"converged\": " + (model.converged ? "true" : "false") + "}";
    }
    return json + "]}\n";
}

}  // namespace kelvora::soil
