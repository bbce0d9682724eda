#pragma once

#include <QDateTime>

namespace kelvora {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

}  // namespace kelvora
