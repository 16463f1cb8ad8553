#include "page_description.h"

#include <QColor>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kMaxSlots = 20;

bool ReadSlot(const QJsonObject& o, SlotDescription& slot, QString& error) {
    const QJsonArray rect = o.value("rect").toArray();
    if (rect.size() != 4) {
        error = "a slot needs \"rect\": [left, top, right, bottom]";
        return false;
    }
    slot.left = rect[0].toInt();
    slot.top = rect[1].toInt();
    slot.right = rect[2].toInt();
    slot.bottom = rect[3].toInt();
    if (slot.left < 0 || slot.top < 0 || slot.right > 1000 || slot.bottom > 750 ||
        slot.right <= slot.left || slot.bottom <= slot.top) {
        error = "a slot rectangle lies outside the 1000 x 750 grid or is empty";
        return false;
    }
    slot.mask = o.value("mask").toString();
    slot.front = o.value("front").toInt();
    slot.transparency = o.value("transparency").toInt();
    slot.shear = o.value("shear").toInt();
    slot.angle = o.value("angle").toInt();
    slot.border = o.value("border").toString();
    if (slot.transparency < 0 || slot.transparency > 255) {
        error = "transparency runs from 0 to 255";
        return false;
    }
    if (!slot.border.isEmpty() && !QColor::isValidColorName(slot.border)) {
        error = "border is not a #RRGGBB colour: " + slot.border;
        return false;
    }
    return true;
}

} // namespace

bool ReadPageDescription(const QString& path, PageDescription& page, QString& error) {
    page = PageDescription();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path;
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        error = "not a JSON object: " + parseError.errorString();
        return false;
    }
    const QJsonObject o = doc.object();
    const QJsonArray size = o.value("page_size_cm").toArray();
    if (size.size() != 2 || size[0].toDouble() <= 0 || size[1].toDouble() <= 0) {
        error = "\"page_size_cm\" needs a positive width and height";
        return false;
    }
    page.widthCm = size[0].toDouble();
    page.heightCm = size[1].toDouble();
    page.preview = o.value("preview").toString();
    page.overlay = o.value("overlay").toString();
    page.background = o.value("background").toString();
    if (page.preview.isEmpty() || page.background.isEmpty()) {
        error = "a page needs a preview and a background";
        return false;
    }
    const QJsonArray slotArray = o.value("slots").toArray();
    if (slotArray.size() > kMaxSlots) {
        error = "a page holds at most 20 slots";
        return false;
    }
    for (const QJsonValue& v : slotArray) {
        SlotDescription slot;
        if (!ReadSlot(v.toObject(), slot, error))
            return false;
        page.slotList.append(slot);
    }
    return true;
}
