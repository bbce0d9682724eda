#pragma once

#include <QByteArray>
#include <QString>

namespace kelvora {

// What --soil-model prints and ends with.
struct SoilCommandResult {
    int exitCode = 0;
    QByteArray output;  // the JSON, on stdout
    QString error;      // one line for stderr when it fails
};

// Fits the survey in `file`: the models of 1 to 3 layers that the points can carry, or only
// the one of `layers` layers (> 0). Needs no window.
SoilCommandResult runSoilModelCommand(const QString& file, int layers);

}  // namespace kelvora
