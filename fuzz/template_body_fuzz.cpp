// A template body: parsed, written back and parsed again, then applied to a
// canvas with a photo in every slot, so masks, borders, turns and the
// page's layers all meet the body's values.

#include "fuzz_support.h"

#include "compose/compose_canvas.h"
#include "raster/raster.h"
#include "compose/template_body.h"

#include <QImage>

namespace {
QByteArray SmallPhoto() {
    QImage photo(24, 16, QImage::Format_RGB32);
    photo.fill(0xFF3080C0);
    return EncodeImageBytes(photo, "jpeg", 90);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    TemplateBody body;
    if (ParseTemplateBody(bytes, body) != BodyStatus::Ok)
        return 0;
    // Whatever parses is written back to the same fields.
    TemplateBody again;
    FuzzExpect(ParseTemplateBody(SerializeTemplateBody(body), again) == BodyStatus::Ok,
               "a parsed body to parse again once written");
    FuzzExpect(again.rects == body.rects && again.masks == body.masks &&
                   again.background == body.background && again.angle == body.angle,
               "a written body to keep its fields");

    static const QByteArray photo = SmallPhoto();
    CComposeCanvas canvas;
    canvas.SetClientSize(QSize(200, 150));
    if (!canvas.ApplyTemplateBody(bytes, true, true))
        return 0;
    for (int slot = 0; slot < canvas.slotCount(); ++slot)
        canvas.LoadSlotPhoto(photo, true, slot);
    canvas.SetCurrentSlot(0);
    canvas.Rotate(90);
    canvas.MirrorX();
    canvas.RenderComposite();
    return 0;
}
