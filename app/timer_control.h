#pragma once

#include <QTimer>

namespace kelvora {

// Enabling a running timer leaves its phase alone, as a timer control's Enabled property does.
inline void enableTimer(QTimer& timer) {
    if (!timer.isActive()) {
        timer.start();
    }
}

inline void disableTimer(QTimer& timer) {
    timer.stop();
}

}  // namespace kelvora
