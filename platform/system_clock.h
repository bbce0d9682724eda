#pragma once

#include "seams/clock.h"

namespace kelvora {

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace kelvora
