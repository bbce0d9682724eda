#include "app/demo_meter.h"

#include <cmath>
#include <iterator>

namespace kelvora::demo {

namespace {

// Range codes: unit in the high nibble, decimals in the low one.
constexpr uint8_t kOhm2 = 0x12;       // 12.34 Ω
constexpr uint8_t kKiloOhm2 = 0x22;   // 1.23 KΩ
constexpr uint8_t kOhmMetre1 = 0x31;  // 123.4 Ωm
constexpr uint8_t kVolt1 = 0x51;      // 12.3 V
constexpr uint8_t kMilliAmp1 = 0x71;  // 123.4 mA
constexpr uint8_t kAmp2 = 0x82;       // 1.23 A

// A small deterministic wobble, -span..span, from a step number.
int wobble(qint64 step, int span) {
    const int phase = static_cast<int>(step % 8);
    static constexpr int kShape[8] = {0, 1, 2, 1, 0, -1, -2, -1};
    return kShape[phase] * span / 2;
}

MeterReading reading(uint16_t main, uint8_t range, uint8_t status, uint16_t rc, uint16_t rp,
                     uint16_t rhoLength) {
    MeterReading r;
    r.mainValue = main;
    r.rangeCode = range;
    r.status = status;
    r.rc = rc;
    r.rp = rp;
    r.rhoLength = rhoLength;
    return r;
}

}  // namespace

MeterReading liveReadingAt(qint64 nowMs) {
    const qint64 ms = qMax<qint64>(0, nowMs);
    const qint64 period = ms / kModePeriodMs;
    const int mode = static_cast<int>(period % 4);  // 0 R, 1 ρ, 2 V, 3 I
    const qint64 second = ms / 1000;
    const int w = wobble(second, 20);

    // A flag lights for a while in each period, a different one each time round.
    static constexpr uint8_t kFlags[4] = {kMeterNoise, kMeterHighVoltage, kMeterLowBattery,
                                          kMeterClamp};
    const bool flagOn = (ms % kModePeriodMs) >= kModePeriodMs / 2;
    uint8_t status = flagOn ? kFlags[(period / 4 + mode) % 4] : 0;
    if (mode == 3) {
        status |= kMeterClamp;  // clamp current is measured with the clamp attached
    }
    // Every third round the first second of a mode shows an overload.
    const bool overload = (period % 3 == 2) && (ms % kModePeriodMs) < 1000;

    switch (mode) {
        case 0:
            return reading(overload ? kMeterOverload : static_cast<uint16_t>(1234 + w),
                           period % 2 ? kKiloOhm2 : kOhm2, status, static_cast<uint16_t>(200 + w),
                           static_cast<uint16_t>(300 - w), 0);
        case 1:
            return reading(overload ? kMeterOverload : static_cast<uint16_t>(5678 + w), kOhmMetre1,
                           status, static_cast<uint16_t>(150 + w), static_cast<uint16_t>(250 + w),
                           50);
        case 2:
            return reading(overload ? kMeterOverload : static_cast<uint16_t>(123 + w / 4), kVolt1,
                           status, 0, 0, 0);
        default:
            return reading(overload ? kMeterOverload : static_cast<uint16_t>(456 + w),
                           period % 2 ? kAmp2 : kMilliAmp1, status, 0, 0, 0);
    }
}

QList<MeterReading> storedRecords() {
    QList<MeterReading> records;
    // First a soil survey over the demo earth, a few percent of noise on each reading.
    static constexpr double kNoisePercent[] = {0.8, -1.2, 0.5, 1.5,  -0.7, -1.0,
                                               1.1, -0.4, 0.9, -1.3, 0.6,  -0.2};
    for (size_t k = 0; k < std::size(kSurveySpacings); ++k) {
        const double rho = soil::wennerApparentResistivity(surveyEarth(), kSurveySpacings[k]) *
                           (1 + kNoisePercent[k] / 100);
        const auto step = static_cast<uint16_t>(k * 37 % 100);
        records << reading(static_cast<uint16_t>(std::lround(rho * 10)), kOhmMetre1, 0, 160,
                           static_cast<uint16_t>(240 + step),
                           static_cast<uint16_t>(std::lround(kSurveySpacings[k] * 10)));
    }
    // Then the other modes in turn, with an overload and kilohms among them.
    for (int n = records.size() + 1; n <= kStoredRecordCount; ++n) {
        const auto step = static_cast<uint16_t>(n * 37 % 100);
        switch (n % 4) {
            case 1:
                records << reading(static_cast<uint16_t>(300 + step), kOhm2, 0,
                                   static_cast<uint16_t>(180 + step), 290, 0);
                break;
            case 2:
                records << reading(static_cast<uint16_t>(100 + step), kVolt1, 0, 0, 0, 0);
                break;
            case 3:
                records << reading(static_cast<uint16_t>(300 + step), kMilliAmp1, 0, 0, 0, 0);
                break;
            default:
                records << reading(n == 16 ? kMeterOverload : static_cast<uint16_t>(150 + step),
                                   kKiloOhm2, 0, 210, 330, 0);
                break;
        }
    }
    return records;
}

soil::LayeredEarth surveyEarth() {
    return {{320, 85}, {2.5}};
}

void configure(MeterSimulator& meter) {
    meter.setLiveSource(liveReadingAt);
    meter.setStoredRecords(storedRecords());
}

}  // namespace kelvora::demo
