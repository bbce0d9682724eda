#include "app/soil_command.h"

#include "soil/soil_json.h"
#include "soil/survey_file.h"

namespace kelvora {

SoilCommandResult runSoilModelCommand(const QString& file, int layers) {
    QString why;
    const std::optional<soil::SurveyFile> survey = soil::readSurveyFile(file, &why);
    if (!survey) {
        return {1, {}, file + QStringLiteral(": ") + why};
    }
    const int used = int(survey->points.size());
    if (soil::distinctSpacings(survey->points) > soil::kMaxFittedSpacings) {
        return {1,
                {},
                QStringLiteral("%1: the survey has %2 different spacings, more than the %3 "
                               "a fit takes: several surveys are mixed in it")
                    .arg(file)
                    .arg(soil::distinctSpacings(survey->points))
                    .arg(soil::kMaxFittedSpacings)};
    }
    if (layers > 0 && used < 2 * layers - 1) {
        return {1,
                {},
                QStringLiteral("%1: a model of %2 layers needs at least %3 usable points, the "
                               "file has %4")
                    .arg(file)
                    .arg(layers)
                    .arg(2 * layers - 1)
                    .arg(used)};
    }
    // More layers are fitted from the fewer, so even one model asked is built on those below.
    std::vector<soil::SoilModel> models =
        soil::fitSoilModels(survey->points, layers > 0 ? layers : soil::kMaxFittedLayers);
    if (layers > 0) {
        models.erase(models.begin(), models.end() - 1);
    }
    QString leftOut;
    if (!survey->leftOut.isEmpty()) {
        leftOut = QStringLiteral("%1: left out %2 rows that are not readings: %3")
                      .arg(file)
                      .arg(survey->leftOut.size())
                      .arg(survey->leftOut.join(QStringLiteral(", ")));
    }
    return {0, soil::soilModelsJson(survey->rows, used, models), leftOut};
}

}  // namespace kelvora
