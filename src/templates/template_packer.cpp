#include "templates/template_packer.h"

#include "common/atomic_file.h"
#include "raster/raster.h"
#include "compose/template_body.h"
#include "templates/mask_bmp.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cctype>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 kMaxDescriptionBytes = 16 << 20;
constexpr qint64 kMaxImageBytes = qint64(1) << 30;

// Thrown with the reason a description is refused; caught at PackTemplate.
struct Refusal {
    QString reason;
};

[[noreturn]] void Refuse(const QString& reason) {
    throw Refusal{reason};
}

void RefuseUnknownKeys(const QJsonObject& object, const QSet<QString>& known,
                       const QString& where) {
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!known.contains(it.key()))
            Refuse(QStringLiteral("%1unknown key \"%2\"").arg(where, it.key()));
}

int32_t ToInt(const QJsonValue& value, const QString& what) {
    const double d = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::trunc(d) != d || d < std::numeric_limits<int32_t>::min() ||
        d > std::numeric_limits<int32_t>::max())
        Refuse(QStringLiteral("%1 must be a whole number").arg(what));
    return static_cast<int32_t>(d);
}

int32_t OptionalInt(const QJsonObject& object, const QString& key, const QString& where) {
    if (!object.contains(key))
        return 0;
    const QJsonValue value = object.value(key);
    // The layer flag reads naturally as true / false as well.
    if (value.isBool() && key == QLatin1String("front"))
        return value.toBool() ? 1 : 0;
    return ToInt(value, QStringLiteral("%1\"%2\"").arg(where, key));
}

// "#RRGGBB" -> colour reference 0x00BBGGRR.
uint32_t ParseBorder(const QJsonValue& value, const QString& where) {
    const QString text = value.toString();
    bool ok = value.isString() && text.size() == 7 && text.startsWith(QLatin1Char('#'));
    for (int i = 1; ok && i < 7; ++i)
        ok = text.at(i).unicode() < 0x80 && isxdigit(text.at(i).unicode());
    if (!ok)
        Refuse(QStringLiteral("%1\"border\" must be a colour \"#RRGGBB\"").arg(where));
    const uint32_t rgb = text.mid(1).toUInt(nullptr, 16);
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

class DescriptionReader {
public:
    explicit DescriptionReader(const QString& descriptionPath)
        : folder_(QFileInfo(descriptionPath).absoluteDir()) {}

    // The bytes of an image file named by key, checked to decode.
    QByteArray ImageFile(const QJsonValue& value, const QString& what, QImage* decoded = nullptr) {
        if (!value.isString() || value.toString().isEmpty())
            Refuse(QStringLiteral("%1 must be a file name").arg(what));
        const QString path = folder_.filePath(value.toString());
        QByteArray bytes;
        if (!QFileInfo(path).isFile() || !ReadWholeFile(path, bytes, kMaxImageBytes))
            Refuse(QStringLiteral("%1: cannot read %2").arg(what, path));
        const QImage image = DecodeImage(bytes);
        if (image.isNull())
            Refuse(QStringLiteral("%1: %2 is not an image").arg(what, path));
        if (decoded)
            *decoded = image;
        return bytes;
    }

private:
    QDir folder_;
};

void ReadPageSize(const QJsonValue& value, TemplateBody& body) {
    const QJsonArray size = value.toArray();
    if (!value.isArray() || size.size() != 2)
        Refuse(QStringLiteral("\"page_size_cm\" must be [width, height] in cm"));
    int32_t* fields[2] = {&body.width, &body.height};
    for (int i = 0; i < 2; ++i) {
        const double cm = size[i].toDouble(-1);
        // Stored in hundredths of a centimetre, rounded.
        const double hundredths = cm * 100.0 + 0.5;
        if (!size[i].isDouble() || !(cm > 0) || hundredths >= 2147483647.0)
            Refuse(QStringLiteral("\"page_size_cm\" must hold two positive sizes in cm"));
        *fields[i] = static_cast<int32_t>(hundredths);
        if (*fields[i] == 0)
            Refuse(QStringLiteral("\"page_size_cm\" must hold two positive sizes in cm"));
    }
}

void ReadSlot(const QJsonValue& value, int index, DescriptionReader& files, TemplateBody& body) {
    const QString where = QStringLiteral("slots[%1]: ").arg(index);
    if (!value.isObject())
        Refuse(where + QStringLiteral("must be an object"));
    const QJsonObject slot = value.toObject();
    RefuseUnknownKeys(slot, {"rect", "mask", "front", "transparency", "shear", "angle", "border"},
                      where);

    const QJsonArray rect = slot.value(QLatin1String("rect")).toArray();
    if (rect.size() != 4)
        Refuse(where + QStringLiteral("\"rect\" must be [left, top, right, bottom]"));
    TemplateRect r;
    r.left = ToInt(rect[0], where + QStringLiteral("\"rect\""));
    r.top = ToInt(rect[1], where + QStringLiteral("\"rect\""));
    r.right = ToInt(rect[2], where + QStringLiteral("\"rect\""));
    r.bottom = ToInt(rect[3], where + QStringLiteral("\"rect\""));
    // An empty rectangle is dropped when the package is read, which would
    // shift every later slot onto the wrong values.
    if (r.right <= r.left || r.bottom <= r.top)
        Refuse(where + QStringLiteral("\"rect\" must have right > left and bottom > top"));
    body.rects.append(r);

    QByteArray mask;
    if (slot.contains(QLatin1String("mask"))) {
        QImage image;
        files.ImageFile(slot.value(QLatin1String("mask")), where + QStringLiteral("\"mask\""),
                        &image);
        mask = EncodeMaskBmp(image);
    }
    body.masks.append(mask);
    body.maskSizes.append(static_cast<uint32_t>(mask.size()));

    body.front[index] = OptionalInt(slot, QStringLiteral("front"), where);
    body.transparency[index] = OptionalInt(slot, QStringLiteral("transparency"), where);
    if (body.transparency[index] < 0 || body.transparency[index] > 255)
        Refuse(where + QStringLiteral("\"transparency\" must be from 0 to 255"));
    body.shear[index] = OptionalInt(slot, QStringLiteral("shear"), where);
    body.angle[index] = OptionalInt(slot, QStringLiteral("angle"), where);
    if (slot.contains(QLatin1String("border")))
        body.borderColor[index] = ParseBorder(slot.value(QLatin1String("border")), where);
}

TemplateBody ReadDescription(const QString& descriptionPath) {
    QByteArray text;
    if (!ReadWholeFile(descriptionPath, text, kMaxDescriptionBytes))
        Refuse(QStringLiteral("cannot read %1").arg(descriptionPath));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        Refuse(QStringLiteral("%1 is not valid JSON (%2 at offset %3)")
                   .arg(descriptionPath, parseError.errorString())
                   .arg(parseError.offset));
    if (!doc.isObject())
        Refuse(QStringLiteral("%1 must hold one JSON object").arg(descriptionPath));
    const QJsonObject top = doc.object();
    RefuseUnknownKeys(top, {"page_size_cm", "preview", "overlay", "background", "slots"}, {});

    DescriptionReader files(descriptionPath);
    TemplateBody body;
    ReadPageSize(top.value(QLatin1String("page_size_cm")), body);
    body.preview = files.ImageFile(top.value(QLatin1String("preview")), "\"preview\"");
    if (top.contains(QLatin1String("overlay")))
        body.overlay = files.ImageFile(top.value(QLatin1String("overlay")), "\"overlay\"");
    body.background = files.ImageFile(top.value(QLatin1String("background")), "\"background\"");

    const QJsonValue slotsValue = top.value(QLatin1String("slots"));
    if (!slotsValue.isUndefined() && !slotsValue.isArray())
        Refuse(QStringLiteral("\"slots\" must be a list"));
    const QJsonArray slotList = slotsValue.toArray();
    if (slotList.size() > kSlotCount)
        Refuse(QStringLiteral("\"slots\" holds %1 slots; a template has at most %2")
                   .arg(slotList.size())
                   .arg(kSlotCount));
    for (int i = 0; i < slotList.size(); ++i)
        ReadSlot(slotList[i], i, files, body);
    return body;
}

} // namespace

bool PackTemplate(const QString& descriptionPath, QByteArray& body, QString& error) {
    body.clear();
    error.clear();
    try {
        body = SerializeTemplateBody(ReadDescription(descriptionPath));
        return true;
    } catch (const Refusal& refusal) {
        error = refusal.reason;
        return false;
    }
}

bool PackTemplateFile(const QString& descriptionPath, const QString& outPath, QString& error) {
    QByteArray body;
    if (!PackTemplate(descriptionPath, body, error))
        return false;
    const QFileInfo out(outPath);
    if (!QDir().mkpath(out.absolutePath()) || !WriteFileAtomic(outPath, body)) {
        error = QStringLiteral("cannot write %1").arg(outPath);
        return false;
    }
    return true;
}
