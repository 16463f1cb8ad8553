#include "cli/command.h"
#include "common/atomic_file.h"
#include "raster/raster.h"
#include "compose/template_body.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr qint64 kMaxPackageBytes = qint64(1) << 30;

// [width, height] in pixels from the image's header, or null where there is
// no image or it is refused. Only the size is shown, so nothing is decoded.
QJsonValue ImageSize(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QJsonValue::Null;
    const QSize size = ImageSizeOf(bytes);
    if (!size.isValid())
        return QJsonValue::Null;
    return QJsonArray{size.width(), size.height()};
}

// Colour reference 0x00BBGGRR as "#RRGGBB".
QString ColourText(uint32_t colorRef) {
    const uint32_t r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'))
        .toUpper();
}

int RunTemplateInfo(const QStringList& args) {
    if (args.size() != 1)
        return BadInput("template-info", QStringLiteral("needs one argument: FILE.temp"));
    const QString path = args[0];
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, kMaxPackageBytes))
        return BadInput("template-info", QStringLiteral("cannot read %1").arg(path));
    TemplateBody body;
    switch (ParseTemplateBody(bytes, body)) {
    case BodyStatus::Ok:
        break;
    case BodyStatus::BadMarker:
        return BadInput("template-info",
                        QStringLiteral("%1 is not a template package (marker %2, not %3)")
                            .arg(path)
                            .arg(bytes.isEmpty() ? 0 : static_cast<uint8_t>(bytes[0]))
                            .arg(kTemplateMarker));
    case BodyStatus::Truncated:
        return BadInput("template-info",
                        QStringLiteral("%1 is cut short: a length runs past the end").arg(path));
    }

    QJsonArray maskSizes;
    for (uint32_t size : body.maskSizes)
        maskSizes.append(static_cast<qint64>(size));
    QJsonArray rects;
    for (const TemplateRect& r : body.SlotRects())
        rects.append(QJsonArray{r.left, r.top, r.right, r.bottom});
    QJsonArray slotValues;
    for (int i = 0; i < kSlotCount; ++i) {
        QJsonObject slot;
        slot["front"] = body.front[i];
        slot["transparency"] = body.transparency[i];
        slot["shear"] = body.shear[i];
        slot["angle"] = body.angle[i];
        slot["border"] = ColourText(body.borderColor[i]);
        slotValues.append(slot);
    }

    QJsonObject out;
    out["marker"] = static_cast<int>(static_cast<uint8_t>(bytes[0]));
    out["page_size"] = QJsonArray{body.width, body.height};
    out["preview"] = ImageSize(body.preview);
    out["overlay"] = ImageSize(body.overlay);
    out["background"] = ImageSize(body.background);
    out["mask_sizes"] = maskSizes;
    out["rects"] = rects;
    out["slots"] = slotValues;
    PrintOut(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

const CliCommandRegistrar registrar({
    "template-info", "FILE.temp",
    "Prints a template package as JSON: marker, page_size (0.01 cm), preview, overlay and "
    "background sizes in pixels (null where absent or undecodable), mask_sizes in bytes, the "
    "slot rects on the 1000 x 750 grid (empty ones removed) and front, transparency, shear, "
    "angle and border (\"#RRGGBB\") of all 20 slots",
    RunTemplateInfo,
    false, // works on the named files only
});

} // namespace
