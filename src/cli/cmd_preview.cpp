#include "cli/command.h"
#include "common/atomic_file.h"
#include "compose/compose_canvas.h"
#include "compose/template_body.h"
#include "production/task_reference.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("preview");

int RunPreview(const QStringList& args) {
    QString templatePath, out;
    QStringList photos;
    QSize product(-1, -1), client(1000, 750);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--photo") {
            if (!hasValue)
                return BadInput(kCommand, QStringLiteral("--photo needs a file"));
            photos.append(args[++i]);
        } else if (a == "--product") {
            product = hasValue ? ParseWxH(args[++i], 1000000) : QSize();
            if (!product.isValid())
                return BadInput(kCommand, QStringLiteral("--product needs WxH in pixels, e.g. "
                                                         "2362x3543"));
        } else if (a == "--canvas") {
            // The back buffer is the canvas's size, so it stays a screen's size.
            client = hasValue ? ParseWxH(args[++i], 10000) : QSize();
            if (!client.isValid())
                return BadInput(
                    kCommand,
                    QStringLiteral("--canvas needs WxH up to 10000x10000, e.g. 1000x750"));
        } else if (a == "-o") {
            if (!hasValue)
                return BadInput(kCommand, QStringLiteral("-o needs the output file"));
            out = args[++i];
        } else if (a.startsWith(QLatin1Char('-'))) {
            return BadInput(kCommand, QStringLiteral("unknown option %1").arg(a));
        } else if (templatePath.isEmpty()) {
            templatePath = a;
        } else {
            return BadInput(kCommand, QStringLiteral("only one template file, got %1").arg(a));
        }
    }
    if (templatePath.isEmpty() || out.isEmpty())
        return BadInput(kCommand, QStringLiteral("needs FILE.temp and -o OUT.jpg"));

    QByteArray bytes;
    if (!ReadWholeFile(templatePath, bytes))
        return BadInput(kCommand, QStringLiteral("cannot read %1").arg(templatePath));
    TemplateBody body;
    switch (ParseTemplateBody(bytes, body)) {
    case BodyStatus::BadMarker:
        return BadInput(kCommand, QStringLiteral("%1 is not a template body (its first byte is "
                                                 "not 200)")
                                      .arg(templatePath));
    case BodyStatus::Truncated:
        return BadInput(kCommand, QStringLiteral("%1 is not a template body (it is cut short or "
                                                 "a length runs past its end)")
                                      .arg(templatePath));
    case BodyStatus::Ok:
        break;
    }
    for (const QString& photo : photos)
        if (!QFileInfo(photo).isFile())
            return BadInput(kCommand, QStringLiteral("cannot read photo %1").arg(photo));

    CComposeCanvas canvas;
    canvas.SetClientSize(client);
    canvas.SetProductSize(product);
    if (!canvas.LoadTemplateFile(templatePath, true))
        return BadInput(kCommand, QStringLiteral("cannot load %1").arg(templatePath));
    // compose-task leaves out every page whose background does not decode
    // (a damaged or hostile picture): such a page would never be printed.
    if (canvas.backgroundImage().isNull())
        return BadInput(
            kCommand,
            QStringLiteral("template %1: its background does not decode").arg(templatePath));
    if (photos.size() > canvas.slotCount())
        return BadInput(kCommand, QStringLiteral("the template has %1 slots, %2 photos given")
                                      .arg(canvas.slotCount())
                                      .arg(photos.size()));
    // As the operator does: select the slot, then put the photo into it.
    for (int i = 0; i < photos.size(); ++i) {
        canvas.SetCurrentSlot(i);
        if (!canvas.PutPhoto(photos[i], true))
            return BadInput(kCommand, QStringLiteral("cannot read photo %1").arg(photos[i]));
        if (!canvas.HasSlotImage(i))
            return BadInput(kCommand, QStringLiteral("photo %1 does not decode").arg(photos[i]));
    }

    QDir().mkpath(QFileInfo(out).absolutePath());
    if (!canvas.SaveComposite(out))
        return BadInput(kCommand, QStringLiteral("cannot write %1").arg(out));
    const QSize saved = QImageReader(out).size();
    QJsonObject result{{"output", QFileInfo(out).absoluteFilePath()},
                       {"width", saved.width()},
                       {"height", saved.height()},
                       {"slots", canvas.slotCount()},
                       {"photos", static_cast<int>(photos.size())}};
    PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Compact)));
    return 0;
}

const CliCommandRegistrar registrar({
    kCommand,
    QStringLiteral("FILE.temp [--photo FILE]... [--product WxH] [--canvas WxH] -o OUT.jpg"),
    QStringLiteral("Loads a template into a canvas of the given client size (default 1000x750), "
                   "puts the photos into slots 1, 2, ... in order, optionally with the product's "
                   "size in pixels, and saves the page preview as JPEG without number marks; "
                   "prints {output, width, height, slots, photos}."),
    RunPreview,
});

} // namespace
