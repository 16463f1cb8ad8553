#include "cli/slot_json.h"

QJsonObject SlotJson(const SlotPlacement& s) {
    return QJsonObject{
        {"angle", s.angle},
        {"shear", s.shear},
        {"mirror_x", s.mirrorX},
        {"mirror_y", s.mirrorY},
        {"front", s.front},
        {"transparency", s.transparency},
        {"reserved_rect",
         QJsonArray{s.reservedRect[0], s.reservedRect[1], s.reservedRect[2], s.reservedRect[3]}},
        {"left", s.left},
        {"top", s.top},
        {"right", s.right},
        {"bottom", s.bottom},
        {"reserved", s.reserved},
        {"offset_x", s.offsetX},
        {"offset_y", s.offsetY},
        {"zoom", s.zoom},
        {"border_color", static_cast<qint64>(s.borderColor)},
        {"photo_name", s.PhotoName()},
    };
}

QJsonArray SlotsJson(const std::array<SlotPlacement, 20>& placements) {
    QJsonArray list;
    for (const SlotPlacement& s : placements)
        list.append(SlotJson(s));
    return list;
}
