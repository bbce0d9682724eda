#pragma once

#include <QWidget>

#include "charts/record_chart_data.h"

class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;
class QVBoxLayout;

namespace kelvora {

namespace soil {
class SoilSelection;
}

// The soil-resistivity tab of the chart window: the survey with the fitted model's curve, the
// layers with their spreads, and the choices of the model (layers, points left out), which
// are the selection's and so outlive the tab.
class SoilModelPanel : public QWidget {
    Q_OBJECT
public:
    SoilModelPanel(const ChartPage& page, soil::SoilSelection& selection, QWidget* parent);

    // What Save and Print take: the survey chart with the model and the layer table.
    QWidget* printArea() const { return printArea_; }
    QChartView* surveyChart() const { return surveyChart_; }
    QComboBox* layerChooser() const { return layers_; }
    QListWidget* pointList() const { return points_; }
    QTableWidget* layerTable() const { return table_; }
    QLabel* modelText() const { return modelText_; }

    void refresh();

private:
    void refreshPoints();

    ChartPage page_;
    soil::SoilSelection& selection_;
    QWidget* printArea_;
    QVBoxLayout* printLayout_;
    QChartView* surveyChart_ = nullptr;
    QTableWidget* table_;
    QLabel* modelText_;
    QComboBox* layers_;
    QLabel* comparison_;
    QVBoxLayout* depthLayout_;
    QChartView* depthChart_ = nullptr;
    QListWidget* points_;
};

}  // namespace kelvora
