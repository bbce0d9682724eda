#pragma once

#include <optional>
#include <vector>

namespace kelvora::archive {

constexpr double kDefaultThresholdPercent = 20;

enum class PointVerdict { Pass, Fail, Overload, NoReading };

// A test point's value in one visit, visits in date order.
struct PointValue {
    std::optional<double> ohms;  // R in Ω; empty for an overload or no reading
    bool overload = false;
    double limitOhm = 0;  // the point's own limit, or else the visit's
};

enum FlagReason : unsigned {
    FlagFail = 1,      // above its limit
    FlagOverload = 2,  // the meter's overload mark
    FlagRise = 4,      // risen more than the threshold above its baseline
};

struct PointChange {
    PointVerdict verdict = PointVerdict::NoReading;
    // In percent of the earlier value; empty without two numbers (or an earlier 0).
    std::optional<double> fromPrevious;
    std::optional<double> fromBaseline;  // only for visits after the baseline
    unsigned flags = 0;                  // FlagReason bits
    bool flagged() const { return flags != 0; }
};

// The change rule over one point's visits: change from the previous visit and from the
// baseline (index into `values`; out of range means the first), and the flag. Exactly at
// the threshold is not flagged.
std::vector<PointChange> changesOf(const std::vector<PointValue>& values, int baseline,
                                   double thresholdPercent = kDefaultThresholdPercent);

const char* verdictName(PointVerdict verdict);  // "pass", "fail", "overload", "none"

}  // namespace kelvora::archive
