// How often a crop cuts a face: real photos with faces, cut to portrait and
// landscape shapes, each put into slots of the other shape through the
// canvas, once with the centred crop and once with the face-keeping crop.
//   taoban_face_measure OUT_DIR PHOTO...
// Reference faces are found on the photo scanned at 1600 pixels (faces down
// to 40 pixels there); the placement itself sees only its 800-pixel scan. Prints a
// table and writes OUT_DIR/reference.png (reference faces drawn) and
// OUT_DIR/before_after.png (the first photo in a wide slot, both crops).

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
        int faces = 0, cutCentred = 0, cutKept = 0;
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
                Tally& t = tallies[QString("%1 photos in %2 slots").arg(shape.name, slot.name)];
                for (const QRectF& face : faces) {
                    ++t.faces;
                    t.cutCentred += QRectF(crops.centred).contains(face) ? 0 : 1;
                    t.cutKept += QRectF(crops.kept).contains(face) ? 0 : 1;
                }
                if (beforeAfter.isNull() && isPortrait && slot.ratio == 2.0 && !faces.isEmpty()) {
                    const QImage a = crops.centredImage, b = crops.keptImage;
                    beforeAfter =
                        QImage(a.width() + b.width() + 12, a.height(), QImage::Format_RGB32);
                    beforeAfter.fill(Qt::white);
                    QPainter painter(&beforeAfter);
                    painter.drawImage(0, 0, a);
                    painter.drawImage(a.width() + 12, 0, b);
                }
            }
        }
    }
    std::printf("%-36s %6s %14s %14s\n", "photos and slots", "faces", "cut (centred)",
                "cut (kept)");
    Tally all;
    for (const auto& [name, t] : tallies) {
        std::printf("%-36s %6d %8d %4.0f%% %8d %4.0f%%\n", qPrintable(name), t.faces, t.cutCentred,
                    100.0 * t.cutCentred / std::max(1, t.faces), t.cutKept,
                    100.0 * t.cutKept / std::max(1, t.faces));
        all.faces += t.faces;
        all.cutCentred += t.cutCentred;
        all.cutKept += t.cutKept;
    }
    std::printf("%-36s %6d %8d %4.0f%% %8d %4.0f%%\n", "all", all.faces, all.cutCentred,
                100.0 * all.cutCentred / std::max(1, all.faces), all.cutKept,
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
