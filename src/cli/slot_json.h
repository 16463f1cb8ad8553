#pragma once

#include "compose/slot_placement.h"

#include <QJsonArray>
#include <QJsonObject>
#include <array>

// One slot record as the commands print it, every field under its own key.
QJsonObject SlotJson(const SlotPlacement& s);
// The 20 slot records of a page, in slot order.
QJsonArray SlotsJson(const std::array<SlotPlacement, 20>& placements);
