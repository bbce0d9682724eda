#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLogValueAxis>
#include <QMenu>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/archive_session.h"
#include "app/archive_window.h"
#include "archive/archive.h"
#include "charts/trend_chart_data.h"
#include "formats/csv_reader.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

TEST(TrendChartData, LogarithmicBeyondTwoDecadesAndTheThresholdLine) {
    struct Case {
        std::vector<double> ohms;
        std::optional<double> baseline;
        double thresholdPercent;
        bool logarithmic;
        double threshold;
    };
    const Case cases[] = {
        {{1, 100}, 1, 20, false, 1.2},           // exactly two decades
        {{1, 100.5}, 1, 20, true, 1.2},          // more
        {{0.6, 30, 50}, 30, 10, false, 33},      // the baseline need not be the first
        {{5, 5.5}, std::nullopt, 20, false, 0},  // no baseline value: no line
    };
    for (const Case& c : cases) {
        std::vector<TrendVisit> visits;
        for (size_t k = 0; k < c.ohms.size(); ++k) {
            visits.push_back({QStringLiteral("2024-05-%1").arg(k + 1, 2, 10, QLatin1Char('0')),
                              c.ohms[k], false, k == 1, 1});
        }
        visits.push_back({QStringLiteral("2024-06-01"), std::nullopt, true, true, 2});
        visits.push_back({QStringLiteral("2024-02-30"), 3.0, false, false, 3});  // no such date
        const TrendChartData data = trendChartData(visits, 4, c.baseline, c.thresholdPercent);
        EXPECT_EQ(data.logarithmic, c.logarithmic) << c.ohms.back();
        EXPECT_NEAR(data.threshold, c.threshold, 1e-9);
        EXPECT_EQ(data.limit, 4);
        ASSERT_EQ(data.values.points.size(), c.ohms.size());
        EXPECT_EQ(data.values.points[0].x,
                  double(QDate(2024, 5, 1).startOfDay().toMSecsSinceEpoch()));
        ASSERT_EQ(data.overloads.points.size(), 1u);
        EXPECT_LE(data.overloads.points[0].y, data.yMax);
        EXPECT_GT(data.overloads.points[0].y, std::max({c.ohms.back(), data.threshold, 4.0}));
        EXPECT_EQ(data.flagged.points.size(), 2u);  // the second value and the overload
        EXPECT_LT(data.yMin, std::min(c.ohms[0], 4.0) + 1e-9);
        EXPECT_GT(data.yMax, std::max({c.ohms.back(), data.threshold, 4.0}));
        EXPECT_LT(data.xMin, data.values.points[0].x);
        EXPECT_GT(data.xMax, data.overloads.points[0].x);
    }
}

archive::VisitInput visitOf(const QString& date, const std::vector<double>& ohms) {
    archive::VisitInput visit;
    visit.site[report::Project] = QStringLiteral("北区变电站");
    visit.site[report::TestDate] = date;
    visit.site[report::Weather] = QStringLiteral("晴");
    visit.limitOhm = 10;
    for (size_t k = 0; k < ohms.size(); ++k) {
        report::ReportRecord record;
        record.number = int(k) + 1;
        record.missing = false;
        record.mode = MeasuringMode::EarthResistance;
        record.texts[0] = QString::number(ohms[k], 'f', 2) + QStringLiteral("Ω");
        record.numbers[0] = ohms[k];
        visit.records.push_back(record);
        visit.points[int(k) + 1] = QStringLiteral("P%1").arg(k + 1);
    }
    return visit;
}

class ArchiveWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm(dir.filePath("saved"));
        t->form->archiveSession->setPath(dir.filePath("a.sqlite"));
    }
    // P1 rises 30 % (flagged), P2 fails its limit across more than two decades, P3 rises 10 %.
    ArchiveWindow& openFiled() {
        archive::Archive* archive = t->form->archiveSession->archive();
        QString error;
        EXPECT_TRUE(archive->file(visitOf("2024-05-01", {2, 3, 5}), &error));
        EXPECT_TRUE(archive->file(visitOf("2025-05-01", {2.6, 400, 5.5}), &error));
        archive::VisitInput other = visitOf("2025-01-01", {1});
        other.site[report::Project] = QStringLiteral("Other");
        EXPECT_TRUE(archive->file(other, &error));
        t->form->mnuarchive->trigger();
        return *t->form->archiveSession->window();
    }
    static QString text(QTableWidget* table, int row, int column) {
        return table->item(row, column) != nullptr ? table->item(row, column)->text() : QString();
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
};

TEST_F(ArchiveWindowTest, TablesAndChartOfAFiledSite) {
    const QList<QAction*> items = t->form->mnuoperate->actions();
    EXPECT_EQ(items.mid(items.size() - 2),
              QList<QAction*>({t->form->mnuarchive, t->form->mnuchart}));
    EXPECT_EQ(t->form->mnuarchive->text(), "档案…");
    EXPECT_TRUE(t->form->mnuarchive->isEnabled() && !t->form->mnuarchive->isCheckable());
    ArchiveWindow& w = openFiled();
    EXPECT_EQ(w.sitesTable()->rowCount(), 2);
    w.filter()->setText(QStringLiteral("北区"));
    ASSERT_EQ(w.sitesTable()->rowCount(), 1);
    EXPECT_EQ(text(w.sitesTable(), 0, 2), "3");
    EXPECT_EQ(text(w.sitesTable(), 0, 3), "2");

    QTableWidget* points = w.pointsTable();
    ASSERT_EQ(points->rowCount(), 3);
    const QStringList p1 = {"P1", "2.60Ω", "2025-05-01", "合格", "+30.0 %", "升幅超过阈值"};
    for (int c = 0; c < p1.size(); ++c) {
        EXPECT_EQ(text(points, 0, c), p1[c]) << c;
    }
    EXPECT_EQ(text(points, 1, 5), "超过限值, 升幅超过阈值");
    EXPECT_EQ(text(points, 2, 4), "+10.0 %");
    EXPECT_EQ(text(points, 2, 5), "");
    EXPECT_NE(points->item(0, 0)->background(), points->item(2, 0)->background());

    ASSERT_TRUE(w.choosePoint("P1"));
    QTableWidget* visits = w.visitsTable();
    ASSERT_EQ(visits->rowCount(), 2);
    EXPECT_EQ(text(visits, 0, 0), "2024-05-01 （基准）");
    EXPECT_EQ(text(visits, 1, 1), "2.60Ω");
    EXPECT_EQ(text(visits, 1, 4), "晴");
    EXPECT_EQ(text(visits, 1, 7), "+30.0 %");
    EXPECT_EQ(text(visits, 1, 8), "+30.0 %");
    QChart* chart = w.chartView()->chart();
    ASSERT_EQ(chart->series().size(), 4);  // limit, threshold, values, flagged marks
    const auto* marks = qobject_cast<QScatterSeries*>(chart->series()[3]);
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(marks->points(), QList<QPointF>({marks->points()[0]}));
    EXPECT_EQ(marks->points()[0].y(), 2.6);
    EXPECT_EQ(chart->axes(Qt::Vertical)[0]->type(), QAbstractAxis::AxisTypeValue);

    ASSERT_TRUE(w.choosePoint("P2"));
    EXPECT_EQ(w.chartView()->chart()->axes(Qt::Vertical)[0]->type(),
              QAbstractAxis::AxisTypeLogValue);

    // Moving the baseline to the latest visit clears P1's rise.
    ASSERT_TRUE(w.choosePoint("P1"));
    w.chooseVisit(1);
    w.setBaseline();
    EXPECT_EQ(text(w.pointsTable(), 0, 5), "");
    EXPECT_EQ(text(w.sitesTable(), 0, 3), "1");
}

TEST_F(ArchiveWindowTest, DeleteAsksFirstAndExportReadsBack) {
    ArchiveWindow& w = openFiled();
    ASSERT_TRUE(w.chooseSite("北区变电站"));
    w.chooseVisit(0);
    t->messages->answers = {false};
    w.deleteVisit();
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_EQ(t->messages->shown[0].kind, "question");
    EXPECT_EQ(w.visitsTable()->rowCount(), 2);
    t->messages->answers = {true};
    w.deleteVisit();
    EXPECT_EQ(w.visitsTable()->rowCount(), 1);
    EXPECT_EQ(w.pointsTable()->rowCount(), 3);  // nothing else goes
    EXPECT_EQ(text(w.visitsTable(), 0, 0), "2025-05-01 （基准）");

    const QString csv = dir.filePath("history.csv");
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, csv, 1, {}});
    w.exportHistory();
    const std::vector<QStringList> rows = readCsv(readBytes(csv)).rows;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0], "point");
    EXPECT_EQ(rows[2][0], "P2");
    EXPECT_EQ(rows[2][3], "400");
}

TEST_F(ArchiveWindowTest, AFileThatIsNoArchiveIsSaidOnceAndLeftAlone) {
    const QByteArray bytes = QByteArray("SQLite format 3") + QByteArray(200, '\x7f');
    ASSERT_TRUE(writeBytes(dir.filePath("a.sqlite"), bytes));
    t->form->mnuarchive->trigger();
    t->form->mnuarchive->trigger();
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_EQ(t->messages->shown[0].kind, "warning");
    ArchiveWindow& w = *t->form->archiveSession->window();
    EXPECT_EQ(w.sitesTable()->rowCount(), 0);
    EXPECT_TRUE(w.statusLabel()->text().startsWith("没有打开档案"));
    EXPECT_EQ(readBytes(dir.filePath("a.sqlite")), bytes);
}

TEST_F(ArchiveWindowTest, AReadOnlyArchiveReadsAndRefusesEdits) {
    openFiled();
    t->form->archiveSession->setPath(dir.filePath("a.sqlite"));
    QFile::setPermissions(dir.filePath("a.sqlite"), QFile::ReadOwner | QFile::ReadUser);
    t->form->mnuarchive->trigger();
    ArchiveWindow& w = *t->form->archiveSession->window();
    ASSERT_TRUE(w.chooseSite("北区变电站"));
    EXPECT_EQ(w.pointsTable()->rowCount(), 3);
    w.renameSite("南区");
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_TRUE(t->messages->shown[0].text.contains("read-only"));
    w.reload();
    EXPECT_FALSE(w.chooseSite("南区"));
    EXPECT_TRUE(w.chooseSite("北区变电站"));
}

}  // namespace
}  // namespace kelvora::testing
