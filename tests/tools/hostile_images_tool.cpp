// The hostile image files the reliability figures are measured with, and the
// steps of the measurement that taoban-cli has no command for
// (scripts/hostile-images runs them all under /usr/bin/time):
//   hostile_images write FOLDER          writes the files into FOLDER (their
//                                        names and lengths on stdout)
//   hostile_images template FILE OUT     writes a template with FILE as its background
//                                        (FILE "-": an ordinary one), and a photo
//   hostile_images photo OUT             writes an ordinary photo
//   hostile_images thumbnail FILE        draws FILE's cell as the photo list does
//   hostile_images put-photo DAT FILE    makes FILE the first photo of a saved page
//   hostile_images put-background DAT FILE   makes FILE the page's background
#include "compose/template_body.h"
#include "hostile_images.h"
#include "templates/thumbnail_cell.h"
#include "test_support.h"

#include <QGuiApplication>
#include <QString>

#include <cstdio>

namespace {

int Write(const QString& folder) {
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"claim-16000-200scans.jpg", ForgedProgressiveJpeg(16000, 16000, 200)},
        {"claim-15000x16000-200scans.jpg", ForgedProgressiveJpeg(15000, 16000, 200)},
        {"scans-20000.jpg", ForgedProgressiveJpeg(4000, 4000, 20000)},
        {"flat-16000.png", FlatPng(16000, 16000, 3)},
        {"flat-15000x16000.png", FlatPng(15000, 16000, 3)},
        {"flat-15000x16000-1bit.png", FlatPng(15000, 16000, 1, 1)},
    };
    for (const auto& f : files) {
        if (!WriteBytes(folder + "/" + f.name, f.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", f.name);
            return 1;
        }
        std::printf("%s %lld\n", f.name, static_cast<long long>(f.bytes.size()));
    }
    return 0;
}

// Two slots on a 20 x 30 cm page, as the tests' packed templates.
QByteArray TemplateWith(const QByteArray& background) {
    TemplateBody body;
    body.preview = EncodeImage(QuadrantImage(80, 60), "JPEG");
    body.width = 2000;
    body.height = 3000;
    body.background = background;
    body.rects = {TemplateRect{50, 50, 480, 700}, TemplateRect{520, 50, 950, 700}};
    return SerializeTemplateBody(body);
}

int Put(const QString& dat, const QString& file, bool background) {
    LayoutRecord record;
    if (!ParseLayoutRecord(ReadBytes(dat), record) || record.photos.isEmpty())
        return 1;
    const QByteArray bytes = ReadBytes(file);
    if (background) {
        TemplateBody body;
        if (ParseTemplateBody(record.body, body) != BodyStatus::Ok)
            return 1;
        body.background = bytes;
        record.body = SerializeTemplateBody(body);
    } else {
        record.photos.first().bytes = bytes;
    }
    return WriteBytes(dat, SerializeLayoutRecord(record)) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == "write" && args.size() == 2)
        return Write(args[1]);
    if (mode == "thumbnail" && args.size() == 2) {
        const QImage cell = MakeThumbnailCell(args[1], ThumbnailSource::CustomerPhoto);
        const bool blank = cell == DrawThumbnailCell(QImage());
        std::printf("%s\n", blank ? "unreadable" : "drawn");
        return 0;
    }
    if (mode == "template" && args.size() == 3) {
        QImage ordinary(400, 600, QImage::Format_RGB32);
        ordinary.fill(QColor(240, 230, 220));
        const QByteArray background =
            args[1] == "-" ? EncodeImage(ordinary, "PNG") : ReadBytes(args[1]);
        return WriteBytes(args[2], TemplateWith(background)) ? 0 : 1;
    }
    if (mode == "photo" && args.size() == 2)
        return WriteBytes(args[1], EncodeImage(QuadrantImage(300, 200), "JPEG")) ? 0 : 1;
    if ((mode == "put-photo" || mode == "put-background") && args.size() == 3)
        return Put(args[1], args[2], mode == "put-background");
    std::fprintf(stderr, "usage: hostile_images write FOLDER | template FILE|- OUT | photo OUT | "
                         "thumbnail FILE | put-photo DAT FILE | put-background DAT FILE\n");
    return 2;
}
