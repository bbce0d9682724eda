#include "archive/change_rule.h"

namespace kelvora::archive {

namespace {

// Percent values are compared after this much rounding, so 6 Ω over 5 Ω counts as exactly 20 %.
constexpr double kPercentTolerance = 1e-9;

std::optional<double> percentChange(const PointValue& earlier, const PointValue& later) {
    if (!earlier.ohms || !later.ohms || *earlier.ohms <= 0) {
        return std::nullopt;
    }
    return (*later.ohms - *earlier.ohms) / *earlier.ohms * 100;
}

}  // namespace

std::vector<PointChange> changesOf(const std::vector<PointValue>& values, int baseline,
                                   double thresholdPercent) {
    if (baseline < 0 || baseline >= int(values.size())) {
        baseline = 0;
    }
    std::vector<PointChange> changes(values.size());
    for (size_t k = 0; k < values.size(); ++k) {
        const PointValue& value = values[k];
        PointChange& change = changes[k];
        if (value.ohms) {
            change.verdict =
                *value.ohms <= value.limitOhm ? PointVerdict::Pass : PointVerdict::Fail;
        } else if (value.overload) {
            change.verdict = PointVerdict::Overload;
        }
        if (k > 0) {
            change.fromPrevious = percentChange(values[k - 1], value);
        }
        if (int(k) > baseline) {
            change.fromBaseline = percentChange(values[size_t(baseline)], value);
        }
        if (change.verdict == PointVerdict::Fail) {
            change.flags |= FlagFail;
        }
        if (change.verdict == PointVerdict::Overload) {
            change.flags |= FlagOverload;
        }
        if (change.fromBaseline && *change.fromBaseline > thresholdPercent + kPercentTolerance) {
            change.flags |= FlagRise;
        }
    }
    return changes;
}

const char* verdictName(PointVerdict verdict) {
    switch (verdict) {
        case PointVerdict::Pass:
            return "pass";
        case PointVerdict::Fail:
            return "fail";
        case PointVerdict::Overload:
            return "overload";
        case PointVerdict::NoReading:
            break;
    }
    return "none";
}

}  // namespace kelvora::archive
