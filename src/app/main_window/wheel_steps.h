#pragma once

#include <QPoint>
#include <Qt>

// Turns wheel events into zoom steps: one step per notch (120 eighths of a
// degree) of a vertical turn, however finely a touchpad reports it.
// Sideways scrolls (tilt wheels, horizontal swipes) and the empty events that
// begin and end a touchpad gesture give no step.
class WheelSteps {
public:
    static constexpr int kNotch = 120;

    // Positive: steps away from the user (enlarge); negative: toward the user
    // (shrink); 0: nothing yet.
    int Add(QPoint angleDelta, Qt::ScrollPhase phase);

private:
    int pending_ = 0;
};
