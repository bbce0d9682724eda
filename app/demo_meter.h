#pragma once

#include <QList>

#include "modbus/meter_simulator.h"
#include "soil/layered_earth.h"

namespace kelvora {

// The meter of the demo mode: a person without a meter sees every part of the program work.
namespace demo {

// How long the live reading stays in one measuring mode before the next one.
constexpr qint64 kModePeriodMs = 6000;
constexpr int kStoredRecordCount = 25;

// The live reading at a time since the start: all four measuring modes in turn, values that
// wander a little, status flags that come and go, an overload now and then.
MeterReading liveReadingAt(qint64 nowMs);

// Twenty-five stored records: a soil-resistivity survey of the earth below at these
// spacings (m), then records of the other modes.
constexpr double kSurveySpacings[] = {0.5, 1, 1.5, 2, 3, 4, 6, 8, 12, 16, 24, 32};
soil::LayeredEarth surveyEarth();
QList<MeterReading> storedRecords();

// A simulator that behaves as the demo meter.
void configure(MeterSimulator& meter);

}  // namespace demo

}  // namespace kelvora
