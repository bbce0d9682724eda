#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>

#include "records/record_model.h"
#include "soil/soil_json.h"
#include "soil/soil_selection.h"
#include "soil/survey_file.h"

namespace kelvora::soil {
namespace {

Reading reading(uint16_t main, uint8_t code, uint16_t length = 0) {
    auto raw = [](uint16_t value) { return RawValue{uint8_t(value >> 8), uint8_t(value)}; };
    return {raw(main), code, 0, raw(160), raw(240), raw(length)};
}

QString describe(const std::vector<SoilPoint>& points) {
    QStringList texts;
    for (const SoilPoint& point : points) {
        texts << QStringLiteral("%1:%2@%3").arg(point.record).arg(point.rho).arg(point.spacing);
    }
    return texts.join(' ');
}

TEST(SoilSurvey, PointsOfTheRecordsAndWhatIsLeftOut) {
    RecordModel records;
    records.take(1, reading(3215, 0x31, 5));    // 321.5 Ωm at 0.5 m
    records.take(2, reading(1234, 0x12));       // earth resistance
    records.take(3, reading(10000, 0x31, 10));  // overload
    records.take(4, reading(150, 0x42, 20));    // 1.50 KΩm at 2 m
    records.miss(5);                            // no reply
    records.take(6, reading(1234, 0x31, 0));    // ρ length 0
    records.take(7, reading(0, 0x31, 30));      // ρ of 0
    records.take(8, reading(2000, 0x31, 20));   // a second traverse at 2 m
    const Survey survey = surveyOf(records);
    EXPECT_EQ(describe(survey.points), "1:321.5@0.5 4:1500@2 8:200@2");
    EXPECT_EQ(survey.overloads, 1);
    EXPECT_EQ(survey.otherModes, 1);
    EXPECT_EQ(survey.missing, 1);
    EXPECT_EQ(survey.unusable, 2);
    EXPECT_EQ(survey.leftOut(), 5);
}

// The user's choices hold while records arrive and end with Clear or a new download; the
// models follow the points left in.
TEST(SoilSurvey, SelectionKeepsChoicesByRecordUntilANewDownload) {
    RecordModel records;
    SoilSelection selection(records);
    int changes = 0;
    QObject::connect(&selection, &SoilSelection::changed, [&changes] { ++changes; });
    const double spacings[] = {0.5, 1, 2, 4, 8, 16};
    const LayeredEarth earth{{300, 60}, {2.5}};
    for (int k = 1; k <= 6; ++k) {
        const double rho = wennerApparentResistivity(earth, spacings[k - 1]);
        records.take(k, reading(uint16_t(std::lround(rho * 10)), 0x31,
                                uint16_t(std::lround(spacings[k - 1] * 10))));
    }
    EXPECT_EQ(selection.layers(), 2);
    ASSERT_EQ(selection.models().size(), 3u);
    EXPECT_NEAR(selection.chosenModel()->earth.thickness[0], 2.5, 0.01);

    changes = 0;
    selection.setLeftOut(4, true);
    selection.setLayers(3);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(describe(selection.usedPoints()).count(':'), 5);
    EXPECT_EQ(selection.chosenModel()->errorsPercent.size(), 5u);
    records.take(7, reading(600, 0x31, 320));  // more records keep the choices
    EXPECT_TRUE(selection.leftOut(4));
    EXPECT_EQ(selection.usedPoints().size(), 6u);

    selection.setLeftOut(1, true);
    selection.setLeftOut(2, true);
    EXPECT_EQ(selection.chosenModel(), nullptr);  // four points cannot carry three layers

    records.take(1, reading(3000, 0x31, 5));  // a new download
    EXPECT_EQ(selection.layers(), 2);
    EXPECT_FALSE(selection.leftOut(4));
    EXPECT_EQ(selection.usedPoints().size(), 1u);
    selection.setLayers(3);
    records.clear();
    EXPECT_EQ(selection.layers(), 2);
    EXPECT_TRUE(selection.models().empty());
}

TEST(SoilSurvey, FilesOfEveryShape) {
    struct Case {
        const char* name;
        QByteArray bytes;
        int rows;
        const char* points;  // empty: refused
    };
    const Case cases[] = {
        {"plain", "0.5,300\n1,290\r\n\n2,250\n", 3, "0:300@0.5 0:290@1 0:250@2"},
        {"header", "a/m,rho/Ohm m\n0.5,300\n1,290\n", 2, "0:300@0.5 0:290@1"},
        {"semicolons", "Abstand;Widerstand\n0,5;300,5\n1;1,2e2\n", 2, "0:300.5@0.5 0:120@1"},
        {"semicolons, no header", "0,5;300\n1;290\n", 2, "0:300@0.5 0:290@1"},
        {"tabs and decimal commas", "a\trho\n0,5\t300\n", 1, "0:300@0.5"},
        {"quoted header with a comma", "\"a, m\";\"rho\"\n0,5;300\n", 1, "0:300@0.5"},
        {"tabs", "0.5\t300\n", 1, "0:300@0.5"},
        {"bad rows counted", "a,rho\n0.5,300\n-1,200\n2,0\n3,abc\n4\n8,nan\n", 6, "0:300@0.5"},
        {"quoted", "\"a, m\",\"rho\"\n\"0.5\",\"300\"\n", 1, "0:300@0.5"},
        {"record csv",
         "\xEF\xBB\xBFNO.,R,ρ,ρLenght,Rc,Rp,I,V,R/Ω,ρ/Ωm,ρLenght/m,Rc/Ω,Rp/Ω,I/A,V/V\r\n"
         "1,12.34Ω,,,1.60KΩ,2.40KΩ,,,12.34,,,1600,2400,,\r\n"
         "2,,321.5Ωm,0.5m,1.60KΩ,2.40KΩ,,,,321.5,0.5,1600,2400,,\r\n"
         "3,,OL Ωm,1.0m,1.60KΩ,2.40KΩ,,,,,1,1600,2400,,\r\n"
         ",,,,,,,,,,,,,,\r\n"
         "5,,\"1,50KΩm\",2.0m,1.60KΩ,2.40KΩ,,,,1500,2,1600,2400,,\r\n",
         3, "0:321.5@0.5 0:1500@2"},
        {"no survey rows", "", 0, ""},
        {"header only", "a,rho\n", 0, ""},
        {"nothing usable", "0,300\n1,-5\n", 2, ""},
        {"record csv without survey",
         "NO.,R,ρ,ρLenght,Rc,Rp,I,V,R/Ω,ρ/Ωm,ρLenght/m,Rc/Ω,Rp/Ω,I/A,V/V\r\n"
         "1,12.34Ω,,,,,,,12.34,,,,,,\r\n",
         0, ""},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<SurveyFile> file = parseSurveyCsv(c.bytes, &error);
        if (*c.points == '\0') {
            EXPECT_FALSE(file) << c.name;
            EXPECT_FALSE(error.isEmpty()) << c.name;
            continue;
        }
        ASSERT_TRUE(file) << c.name << ": " << error.toStdString();
        EXPECT_EQ(file->rows, c.rows) << c.name;
        EXPECT_EQ(describe(file->points), c.points) << c.name;
    }
}

// Under a comma-decimal locale the JSON keeps its dots; what cannot be determined is null.
TEST(SoilSurvey, JsonOfTheModels) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    SoilModel uniform;
    uniform.earth = {{200.5}, {}};
    uniform.rhoSigma = {1.25};
    uniform.rmsPercent = 1.5;
    uniform.converged = true;
    SoilModel two;
    two.earth = {{300, 60}, {2.5}};
    two.rhoSigma = {std::nullopt, 0.125};
    two.thicknessSigma = {std::nullopt};
    two.rmsPercent = std::nan("");
    EXPECT_EQ(soilModelsJson(7, 6, {uniform, two}),
              "{\"points\": 7, \"used\": 6, \"models\": ["
              "{\"layers\": 1, \"rho\": [200.5], \"thickness\": [], \"rho_sigma\": [1.25], "
              "\"thickness_sigma\": [], \"rms_percent\": 1.5, \"converged\": true}, "
              "{\"layers\": 2, \"rho\": [300, 60], \"thickness\": [2.5], "
              "\"rho_sigma\": [null, 0.125], \"thickness_sigma\": [null], "
              "\"rms_percent\": null, \"converged\": false}]}\n");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace kelvora::soil
