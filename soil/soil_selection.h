#pragma once

#include <QObject>
#include <set>
#include <vector>

#include "soil/survey.h"

namespace kelvora {

class RecordModel;

namespace soil {

// The soil model the user has chosen: how many layers and which survey points to leave out,
// kept by record number until the records are cleared or downloaded anew. The chart window
// sets it; the workbook and the report read the same model from it.
class SoilSelection : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultLayers = 2;  // the two-layer soil that grid design works with

    explicit SoilSelection(const RecordModel& records, QObject* parent = nullptr);

    int layers() const { return layers_; }
    void setLayers(int layers);
    bool leftOut(int record) const { return leftOut_.count(record) > 0; }
    void setLeftOut(int record, bool leftOut);

    // The survey in the records now, every point in it, left out or not.
    const Survey& survey() const;
    // The points the fit uses.
    std::vector<SoilPoint> usedPoints() const;
    // The fits of 1 to 3 layers to the used points (fewer where the points are too few),
    // worked out again only when those points change.
    const std::vector<SoilModel>& models() const;
    // The model of the chosen number of layers; null when the points are too few for it.
    const SoilModel* chosenModel() const;

signals:
    void changed();

private:
    void reset();

    const RecordModel& records_;
    int layers_ = kDefaultLayers;
    std::set<int> leftOut_;
    mutable Survey survey_;
    mutable bool surveyValid_ = false;
    mutable std::vector<SoilPoint> fittedPoints_;
    mutable std::vector<SoilModel> models_;
    mutable bool modelsValid_ = false;
};

}  // namespace soil
}  // namespace kelvora
