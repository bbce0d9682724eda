#pragma once

#include <QByteArray>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "app/interface_language.h"
#include "charts/record_chart_data.h"

class QChartView;
class QLabel;
class QPushButton;
class QTabWidget;

namespace kelvora {

class Form1;

// The window of the record charts: one tab per measuring mode the records hold. It follows the
// records as they arrive and as the table is emptied, and saves or prints the chart shown.
class RecordChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit RecordChartWindow(Form1& form);

    // Draws the tabs from the records now; changes of the records are drawn a moment later.
    void rebuild();
    const std::vector<ChartPage>& pages() const { return pages_; }
    QTabWidget* tabs() const { return tabs_; }
    QChartView* shownChart() const;
    // What Save and Print take of the tab shown: its chart, or on the soil-resistivity tab the
    // survey chart with the model and its layer table; null without records.
    QWidget* shownPrintable() const;

    // The chart shown, as a PNG picture or a one-page PDF; empty when none is shown.
    QByteArray chartBytes(bool png) const;

    void saveChart();   // the Save dialog with PNG and PDF
    void printChart();  // the print dialog, then the chart on one page

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void scheduleRebuild();
    void retranslate();

    Form1& form_;
    QTabWidget* tabs_;
    QLabel* noRecords_;
    QPushButton* save_;
    QPushButton* print_;
    QTimer rebuildTimer_;
    std::vector<ChartPage> pages_;
    int chartType_ = 0;  // type picked in this window's Save dialog, kept apart from the main one
    Language wordedIn_;
};

}  // namespace kelvora
