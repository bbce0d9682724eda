#include "app/soil_model_panel.h"

#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "charts/record_chart_view.h"
#include "charts/soil_model_charts.h"
#include "files/record_sheet.h"
#include "soil/soil_selection.h"
#include "soil/soil_texts.h"

namespace kelvora {

namespace {

constexpr int kSideWidth = 300;

}  // namespace

SoilModelPanel::SoilModelPanel(const ChartPage& page, soil::SoilSelection& selection,
                               QWidget* parent)
    : QWidget(parent),
      page_(page),
      selection_(selection),
      printArea_(new QWidget(this)),
      printLayout_(new QVBoxLayout(printArea_)),
      table_(new QTableWidget(printArea_)),
      modelText_(new QLabel(printArea_)),
      layers_(new QComboBox(this)),
      comparison_(new QLabel(this)),
      depthLayout_(new QVBoxLayout),
      points_(new QListWidget(this)) {
    printArea_->setAutoFillBackground(true);
    printArea_->setBackgroundRole(QPalette::Base);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    modelText_->setWordWrap(true);
    printLayout_->addWidget(table_);
    printLayout_->addWidget(modelText_);

    for (int n = 1; n <= soil::kMaxFittedLayers; ++n) {
        layers_->addItem(QCoreApplication::translate("kelvora::SoilModelPanel", "%1层").arg(n));
    }
    comparison_->setWordWrap(true);
    points_->setToolTip(
        QCoreApplication::translate("kelvora::SoilModelPanel", "去掉勾选的测点不参与拟合"));

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(
        new QLabel(QCoreApplication::translate("kelvora::SoilModelPanel", "土壤模型："), this));
    chooser->addWidget(layers_, 1);
    auto* side = new QVBoxLayout;
    side->addLayout(chooser);
    side->addWidget(comparison_);
    side->addLayout(depthLayout_, 3);
    side->addWidget(new QLabel(
        QCoreApplication::translate("kelvora::SoilModelPanel", "测点（不勾选的不参与拟合）："),
        this));
    side->addWidget(points_, 2);
    auto* sideWidget = new QWidget(this);
    sideWidget->setLayout(side);
    sideWidget->setFixedWidth(kSideWidth);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(printArea_, 1);
    layout->addWidget(sideWidget);

    connect(layers_, &QComboBox::currentIndexChanged, this,
            [this](int index) { selection_.setLayers(index + 1); });
    connect(points_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int record = item->data(Qt::UserRole).toInt();
        const bool leftOut = item->checkState() != Qt::Checked;
        // Afterwards: the refit rebuilds the list, which must not happen inside its item's signal.
        QTimer::singleShot(0, this,
                           [this, record, leftOut] { selection_.setLeftOut(record, leftOut); });
    });
    connect(&selection_, &soil::SoilSelection::changed, this, [this] { refresh(); });
    refresh();
}

void SoilModelPanel::refresh() {
    const std::vector<soil::SoilModel>& models = selection_.models();
    const soil::SoilModel* model = selection_.chosenModel();
    const QString problem = soil::modelProblemText(selection_);
    const bool shown = model != nullptr && problem.isEmpty();

    delete surveyChart_;
    ChartPage page = page_;
    const ChartSeriesData curve = shown ? modelCurve(page, *model) : ChartSeriesData{};
    surveyChart_ = makeChartView(page, printArea_, shown ? &curve : nullptr);
    printLayout_->insertWidget(0, surveyChart_, 1);

    table_->clear();
    table_->setVisible(shown);
    if (shown) {
        const std::vector<QStringList> rows = soil::layerTableRows(*model);
        table_->setColumnCount(int(soil::layerTableHeader().size()));
        table_->setHorizontalHeaderLabels(soil::layerTableHeader());
        table_->setRowCount(int(rows.size()));
        for (int r = 0; r < int(rows.size()); ++r) {
            for (int c = 0; c < rows[size_t(r)].size(); ++c) {
                auto* cell = new QTableWidgetItem(rows[size_t(r)][c]);
                cell->setTextAlignment(Qt::AlignCenter);
                table_->setItem(r, c, cell);
            }
        }
        table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                               table_->rowHeight(0) * table_->rowCount() + 2);
    }
    modelText_->setText(shown
                            ? soil::rmsText(*model) + QCoreApplication::translate(
                                                          "kelvora::SoilModelPanel", "（%1个测点）")
                                                          .arg(model->errorsPercent.size())
                            : problem);
    modelText_->setStyleSheet(shown ? QString() : QStringLiteral("color: #b00000"));

    layers_->blockSignals(true);
    layers_->setCurrentIndex(selection_.layers() - 1);
    layers_->blockSignals(false);
    comparison_->setText(models.empty() ? QString()
                                        : QCoreApplication::translate("kelvora::SoilModelPanel",
                                                                      "各模型的均方根误差：") +
                                              QLatin1Char('\n') + soil::rmsComparisonText(models));

    delete depthChart_;
    depthChart_ = nullptr;
    if (shown) {
        double longest = 0;
        for (const soil::SoilPoint& point : selection_.survey().points) {
            longest = std::max(longest, point.spacing);
        }
        depthChart_ = makeDepthChart(*model, longest, this);
        depthLayout_->addWidget(depthChart_);
    }
    refreshPoints();
}

void SoilModelPanel::refreshPoints() {
    const soil::SoilModel* model = selection_.chosenModel();
    std::map<int, double> errors;
    if (model != nullptr) {
        const std::vector<soil::SoilPoint> used = selection_.usedPoints();
        for (size_t k = 0; k < used.size() && k < model->errorsPercent.size(); ++k) {
            errors[used[k].record] = model->errorsPercent[k];
        }
    }
    const int scrolled = points_->verticalScrollBar()->value();
    points_->blockSignals(true);
    points_->clear();
    for (const soil::SoilPoint& point : selection_.survey().points) {
        QString text = QCoreApplication::translate("kelvora::SoilModelPanel", "记录%1  %2 m  %3 Ωm")
                           .arg(point.record)
                           .arg(plainNumber(point.spacing), plainNumber(point.rho));
        const auto error = errors.find(point.record);
        if (error != errors.end()) {
            text += QStringLiteral("  %1%2%")
                        .arg(error->second >= 0 ? QStringLiteral("+") : QString())
                        .arg(QString::number(error->second, 'f', 1));
        }
        auto* item = new QListWidgetItem(text, points_);
        item->setData(Qt::UserRole, point.record);
        item->setCheckState(selection_.leftOut(point.record) ? Qt::Unchecked : Qt::Checked);
    }
    points_->verticalScrollBar()->setValue(scrolled);
    points_->blockSignals(false);
}

}  // namespace kelvora
