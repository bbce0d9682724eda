#include "soil/soil_selection.h"

#include <algorithm>

#include "records/record_model.h"

namespace kelvora::soil {

namespace {

bool samePoints(const std::vector<SoilPoint>& a, const std::vector<SoilPoint>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const SoilPoint& p, const SoilPoint& q) {
                          return p.spacing == q.spacing && p.rho == q.rho && p.record == q.record;
                      });
}

}  // namespace

SoilSelection::SoilSelection(const RecordModel& records, QObject* parent)
    : QObject(parent), records_(records) {
    connect(&records, &RecordModel::cleared, this, [this] { reset(); });
    connect(&records, &RecordModel::recordTaken, this, [this](int number) {
        if (number == 1) {
            reset();  // record 1 starts a new download
        } else {
            surveyValid_ = false;  // the window redraws for new records by itself
        }
    });
}

void SoilSelection::reset() {
    layers_ = kDefaultLayers;
    leftOut_.clear();
    surveyValid_ = false;
    emit changed();
}

void SoilSelection::setLayers(int layers) {
    layers = std::clamp(layers, 1, kMaxFittedLayers);
    if (layers != layers_) {
        layers_ = layers;
        emit changed();
    }
}

void SoilSelection::setLeftOut(int record, bool leftOut) {
    if (leftOut == this->leftOut(record)) {
        return;
    }
    if (leftOut) {
        leftOut_.insert(record);
    } else {
        leftOut_.erase(record);
    }
    emit changed();
}

const Survey& SoilSelection::survey() const {
    if (!surveyValid_) {
        survey_ = surveyOf(records_);
        surveyValid_ = true;
    }
    return survey_;
}

std::vector<SoilPoint> SoilSelection::usedPoints() const {
    std::vector<SoilPoint> used;
    for (const SoilPoint& point : survey().points) {
        if (!leftOut(point.record)) {
            used.push_back(point);
        }
    }
    return used;
}

const std::vector<SoilModel>& SoilSelection::models() const {
    std::vector<SoilPoint> used = usedPoints();
    if (!modelsValid_ || !samePoints(used, fittedPoints_)) {
        models_ = fitSoilModels(used);
        fittedPoints_ = std::move(used);
        modelsValid_ = true;
    }
    return models_;
}

const SoilModel* SoilSelection::chosenModel() const {
    const std::vector<SoilModel>& fitted = models();
    return size_t(layers_) <= fitted.size() ? &fitted[size_t(layers_ - 1)] : nullptr;
}

}  // namespace kelvora::soil
