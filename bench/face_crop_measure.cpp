// How often a crop cuts a face: real photos with faces, cut to portrait and
// landscape shapes, each put into slots of the other shape through the
// canvas, once with the centred crop and once with the face-keeping crop.
//   taoban_face_measure OUT_DIR PHOTO...
// Reference faces are found on the photo scanned at 1600 pixels (faces down
// to 40 pixels there); the placement itself sees only its 800-pixel scan. Prints a
// table and writes OUT_DIR/reference.png (reference faces drawn) and
// OUT_DIR/before_after.png (the first portrait in a 3:2 slot, both crops).

#include "compose/compose_canvas.h"
#include "compose/face_keeping.h"
#include "compose/template_body.h"
#include "raster/face_finder.h"
#include "raster/raster.h"
#include "raster/working_copy_cache.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <cstdio>

namespace {

struct Shape {
    const char* name;
    double ratio; // width / height
};

// The photo cut to the proportions, centred: a portrait or landscape photo
// made from the sample, faces wherever they happen to fall.
QImage CutTo(const QImage& photo, double ratio) {
    QSize size = photo.size();
    if (double(size.width()) / size.height() > ratio)
        size.setWidth(int(size.height() * ratio));
    else
        size.setHeight(int(size.width() / ratio));
    return photo.copy(QRect(
        QPoint((photo.width() - size.width()) / 2, (photo.height() - size.height()) / 2), size));
}

// Faces found with a scan twice the placement's, in the picture's pixels.
QList<QRect> ReferenceFaces(const QImage& picture) {
    return FindFacesInPicture(picture, picture.size(), 2 * kFaceScanSide);
}

// A face is cut when more than a tenth of its box lies outside the crop:
// detectors' boxes differ by a few pixels between scans, so a sliver is
// within their own error.
bool Cut(const QRectF& face, const QRect& window) {
    const QRectF inside = face & QRectF(window);
    return inside.width() * inside.height() < 0.9 * face.width() * face.height();
}

QByteArray Jpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

// The slot's crop of a photo file put with and without face keeping.
struct Crops {
    QRect centred, kept; // windows in the working copy
    QSize copy;
    QImage centredImage, keptImage;
};

Crops Place(const QString& path, double slotRatio) {
    // One slot on a 1000 x 750 client: as wide as the client, or as high.
    const int w = slotRatio >= 4.0 / 3 ? 1000 : int(750 * slotRatio);
    const int h = slotRatio >= 4.0 / 3 ? int(1000 / slotRatio) : 750;
    TemplateBody body;
    body.width = 3000;
    body.height = 2250;
    QImage ground(400, 300, QImage::Format_RGB32);
    ground.fill(Qt::white);
    body.background = Jpeg(ground);
    body.rects = {TemplateRect{0, 0, w, h}};
    Crops crops;
    for (const bool keep : {false, true}) {
        CComposeCanvas canvas;
        canvas.SetKeepFaces(keep);
        canvas.ApplyTemplateBody(SerializeTemplateBody(body), true, false);
        canvas.PutPhoto(path, true, 0);
        const SlotPlacement& p = canvas.placement(0);
        const QRect window =
            CropWindowRect(canvas.workingCopy(0).size(), Rect{p.left, p.top, p.right, p.bottom},
                           p.zoom, p.offsetX, p.offsetY);
        (keep ? crops.kept : crops.centred) = window;
        (keep ? crops.keptImage : crops.centredImage) = canvas.slotImage(0);
        crops.copy = canvas.workingCopy(0).size();
    }
    return crops;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(1024);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: taoban_face_measure OUT_DIR PHOTO...\n");
        return 2;
    }
    const QDir out(args[0]);
    QDir().mkpath(out.path());
    const Shape portrait{"portrait 2:3", 2.0 / 3}, landscape{"landscape 3:2", 3.0 / 2};
    const Shape slotsForPortrait[] = {{"3:2", 1.5}, {"2:1", 2.0}};
    const Shape slotsForLandscape[] = {{"2:3", 2.0 / 3}, {"1:2", 0.5}};

    struct Tally {
        int faces = 0, tooLarge = 0, cutCentred = 0, cutKept = 0;
    };
    std::map<QString, Tally> tallies;
    QList<QImage> sheet;
    QImage beforeAfter;
    qint64 scanMs = 0;
    int scans = 0;
    for (const QString& photoPath : args.mid(1)) {
        const QImage photo = LoadImageFile(photoPath);
        if (photo.isNull())
            continue;
        for (const Shape& shape : {portrait, landscape}) {
            const QImage cut = CutTo(photo, shape.ratio);
            const QString file = out.filePath(QFileInfo(photoPath).completeBaseName() + "_" +
                                              QString(shape.name).left(4) + ".jpg");
            cut.save(file, "JPEG", 95);
            const QList<QRect> reference = ReferenceFaces(cut);
            QElapsedTimer timer;
            timer.start();
            FindFacesInPhoto(Jpeg(cut));
            scanMs += timer.elapsed();
            ++scans;
            QImage marked = cut.convertToFormat(QImage::Format_RGB32);
            {
                QPainter painter(&marked);
                painter.setPen(QPen(Qt::red, 3));
                for (const QRect& face : reference)
                    painter.drawRect(face);
            }
            sheet.append(marked.scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            const bool isPortrait = shape.ratio < 1;
            for (const Shape& slot : isPortrait ? slotsForPortrait : slotsForLandscape) {
                WorkingCopyCache::Shared().Clear();
                const Crops crops = Place(file, slot.ratio);
                const QList<QRectF> faces = FacesInCopy(reference, cut.size(), crops.copy);
                const QString people = reference.size() == 1 ? "one face" : "several";
                Tally& t = tallies[QString("%1, %2 photos in %3 slots")
                                       .arg(people, QString(shape.name).left(9), slot.name)];
                if (qEnvironmentVariableIsSet("FACE_MEASURE_DETAIL")) {
                    QStringList boxes;
                    for (const QRectF& f : faces)
                        boxes << QString("%1,%2 %3x%4 c%5k%6")
                                     .arg(int(f.x()))
                                     .arg(int(f.y()))
                                     .arg(int(f.width()))
                                     .arg(int(f.height()))
                                     .arg(!Cut(f, crops.centred))
                                     .arg(!Cut(f, crops.kept));
                    std::fprintf(stderr, "%s in %s: centred %d,%d kept %d,%d %dx%d | %s\n",
                                 qPrintable(QFileInfo(file).fileName()), slot.name,
                                 crops.centred.x(), crops.centred.y(), crops.kept.x(),
                                 crops.kept.y(), crops.kept.width(), crops.kept.height(),
                                 qPrintable(boxes.join("; ")));
                }
                for (const QRectF& face : faces) {
                    ++t.faces;
                    // No crop of the slot's shape holds it without zoom.
                    t.tooLarge += face.width() > crops.kept.width() * 1.05 ||
                                          face.height() > crops.kept.height() * 1.05
                                      ? 1
                                      : 0;
                    t.cutCentred += Cut(face, crops.centred) ? 1 : 0;
                    t.cutKept += Cut(face, crops.kept) ? 1 : 0;
                }
                if (beforeAfter.isNull() && isPortrait && slot.ratio == 1.5 && !faces.isEmpty()) {
                    // Twice the working copy's size, the centred crop left.
                    const QImage a =
                        crops.centredImage.scaled(crops.centredImage.size() * 2,
                                                  Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                    const QImage b = crops.keptImage.scaled(a.size(), Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation);
                    beforeAfter = QImage(2 * a.width() + 12, a.height() + 28, QImage::Format_RGB32);
                    beforeAfter.fill(Qt::white);
                    QPainter painter(&beforeAfter);
                    painter.drawImage(0, 0, a);
                    painter.drawImage(a.width() + 12, 0, b);
                    painter.setPen(Qt::black);
                    painter.drawText(QRect(0, a.height(), a.width(), 28), Qt::AlignCenter,
                                     "centred crop (before)");
                    painter.drawText(QRect(a.width() + 12, a.height(), a.width(), 28),
                                     Qt::AlignCenter, "faces kept (after)");
                }
            }
        }
    }
    std::printf("%-40s %6s %9s %14s %14s\n", "photos and slots", "faces", "too large",
                "cut (centred)", "cut (kept)");
    Tally all;
    for (const auto& [name, t] : tallies) {
        std::printf("%-40s %6d %9d %8d %4.0f%% %8d %4.0f%%\n", qPrintable(name), t.faces,
                    t.tooLarge, t.cutCentred, 100.0 * t.cutCentred / std::max(1, t.faces),
                    t.cutKept, 100.0 * t.cutKept / std::max(1, t.faces));
        all.faces += t.faces;
        all.tooLarge += t.tooLarge;
        all.cutCentred += t.cutCentred;
        all.cutKept += t.cutKept;
    }
    std::printf("%-40s %6d %9d %8d %4.0f%% %8d %4.0f%%\n", "all", all.faces, all.tooLarge,
                all.cutCentred, 100.0 * all.cutCentred / std::max(1, all.faces), all.cutKept,
                100.0 * all.cutKept / std::max(1, all.faces));
    std::printf("face scan (decode + detect) %.1f ms per photo over %d photos\n",
                double(scanMs) / std::max(1, scans), scans);

    const int columns = 6;
    QImage contact(columns * 244, ((sheet.size() + columns - 1) / columns) * 244,
                   QImage::Format_RGB32);
    contact.fill(Qt::white);
    QPainter painter(&contact);
    for (int i = 0; i < sheet.size(); ++i)
        painter.drawImage((i % columns) * 244, (i / columns) * 244, sheet[i]);
    contact.save(out.filePath("reference.png"));
    if (!beforeAfter.isNull())
        beforeAfter.save(out.filePath("before_after.png"));
    return 0;
}
