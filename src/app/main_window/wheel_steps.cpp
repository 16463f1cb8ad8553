#include "app/main_window/wheel_steps.h"

#include <cstdlib>

int WheelSteps::Add(QPoint angleDelta, Qt::ScrollPhase phase) {
    if (phase == Qt::ScrollBegin)
        pending_ = 0;
    const int dy = angleDelta.y();
    if (dy == 0 || std::abs(angleDelta.x()) > std::abs(dy))
        return 0;
    // A turn the other way starts afresh: the rest of the last one is not
    // taken off the new direction.
    if ((dy > 0) != (pending_ > 0) && pending_ != 0)
        pending_ = 0;
    pending_ += dy;
    const int steps = pending_ / kNotch;
    pending_ -= steps * kNotch;
    return steps;
}
