#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "soil/soil_fit.h"

namespace kelvora::soil {

// The survey in a CSV file: the program's own record CSV (its soil-resistivity rows), or two
// numeric columns, spacing in m and apparent resistivity in Ωm, separated by commas, or by
// semicolons or tabs with decimal commas or dots. A first row that is not numeric is a header.
struct SurveyFile {
    int rows = 0;                   // rows of survey data, usable or not
    std::vector<SoilPoint> points;  // the rows with a positive spacing and resistivity
    QStringList leftOut;            // rows that are not readings: "line 4 (its spacing ...)"
};

// Empty with `error` set when the bytes hold no usable row.
std::optional<SurveyFile> parseSurveyCsv(const QByteArray& bytes, QString* error);
std::optional<SurveyFile> readSurveyFile(const QString& path, QString* error);

}  // namespace kelvora::soil
