// Writes the seed corpora, fuzz/corpus/<target>/, from the project's own
// writers: a few small, valid inputs per target that the fuzzer mutates.
//   fuzz_make_seeds OUT_FOLDER

#include "test_support.h"

#include "common/gbk.h"
#include "compose/template_body.h"
#include "raster/jpeg_codec.h"
#include "raster/raster.h"
#include "records/customer_task.h"
#include "templates/mask_bmp.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

namespace {

JpegPageOptions PageAt300Dpi() {
    JpegPageOptions options;
    options.dpi = 300;
    return options;
}

QString g_out;

void Seed(const QString& target, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(g_out + "/" + target);
    QFile file(g_out + "/" + target + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

QByteArray Parts(const QList<QByteArray>& parts) {
    return parts.join(QByteArray("\n-----\n"));
}

QImage GreyMask(int w, int h) {
    QImage mask(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask.scanLine(y)[x] = static_cast<uchar>((x + y) * 255 / (w + h));
    return mask;
}

QByteArray OverlayPng() {
    QImage overlay(40, 30, QImage::Format_ARGB32);
    overlay.fill(Qt::transparent);
    QPainter painter(&overlay);
    painter.fillRect(0, 0, 40, 4, QColor(200, 40, 40, 180));
    painter.end();
    return EncodeImage(overlay, "PNG");
}

TemplateBody FullBody() {
    TemplateBody body;
    body.preview = EncodeImage(QuadrantImage(8, 6), "JPEG", 80);
    body.width = 3000;
    body.height = 2250;
    body.overlay = OverlayPng();
    body.background = EncodeImage(QuadrantImage(40, 30), "JPEG", 80);
    body.masks = {EncodeMaskBmp(GreyMask(8, 8)), QByteArray(), EncodeMaskBmp(GreyMask(5, 3))};
    body.rects = {{100, 100, 450, 650}, {0, 0, 0, 0}, {550, 100, 900, 400}, {550, 450, 900, 700}};
    body.angle[1] = 15;
    body.shear[2] = 4;
    body.front[2] = 1;
    body.transparency[1] = 60;
    body.borderColor[0] = 0x0000FF;
    return body;
}

TemplateBody PlainBody() {
    TemplateBody body;
    body.preview = EncodeImage(QuadrantImage(4, 3), "PNG");
    body.width = 2000;
    body.height = 1500;
    body.background = EncodeImage(QuadrantImage(16, 12), "BMP");
    body.rects = {{200, 150, 800, 600}};
    return body;
}

QByteArray LayoutRecordBytes(const TemplateBody& body) {
    LayoutRecord record;
    record.body = SerializeTemplateBody(body);
    record.photos = {{0, EncodeImage(QuadrantImage(30, 20), "JPEG", 80)},
                     {2, EncodeImage(QuadrantImage(12, 18), "PNG")}};
    return SerializeLayoutRecord(record);
}

SlotPlacement Placed(int left, int top, int right, int bottom, int angle) {
    SlotPlacement p = SlotPlacement::Zero();
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.angle = angle;
    p.zoom = 30;
    return p;
}

QByteArray Placements() {
    return Placed(100, 75, 450, 490, 0).ToBytes() + Placed(0, 0, 0, 0, 0).ToBytes() +
           Placed(550, 75, 900, 300, 15).ToBytes();
}

QByteArray TaskFile(int pages, int w, int h) {
    CustomerTask task;
    task.phone = QStringLiteral("13800000000");
    for (int i = 1; i <= pages; ++i) {
        auto page = std::make_unique<TaskPage>();
        page->SetName(QStringLiteral("相册-%1").arg(i));
        page->width = w;
        page->height = h;
        page->placements[0] = Placed(100, 75, 450, 490, 0);
        page->placements[0].mirrorX = i % 2;
        page->placements[2] = Placed(550, 75, 900, 300, 15);
        task.pages.push_back(std::move(page));
    }
    return task.ToBytes();
}

QByteArray Gbk(const char* utf8) {
    return ToGbk(QString::fromUtf8(utf8));
}

void ImageSeeds(const QString& target, const QByteArray& prefix) {
    const QImage picture = QuadrantImage(24, 16);
    Seed(target, "baseline.jpg", prefix + EncodeImage(picture, "JPEG", 75));
    Seed(target, "turned.jpg", prefix + JpegWithOrientation(picture, 6));
    Seed(target, "grey.jpg", prefix + EncodeImage(GreyMask(9, 7), "JPEG", 75));
    Seed(target, "page.jpg", prefix + EncodeJpegPage(picture, PageAt300Dpi()));
    Seed(target, "exif_thumbnail.jpg",
         prefix + JpegWithExif(picture, 6, EncodeImage(QuadrantImage(16, 11), "JPEG", 75)));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds OUT_FOLDER\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);

    Seed("template_body", "full", SerializeTemplateBody(FullBody()));
    Seed("template_body", "plain", SerializeTemplateBody(PlainBody()));

    Seed("layout_record", "full", Parts({LayoutRecordBytes(FullBody()), "1000 750", Placements()}));
    Seed("layout_record", "plain",
         Parts({LayoutRecordBytes(PlainBody()), "640 480", Placements()}));

    Seed("page_compose", "full",
         Parts({TaskFile(1, 400, 300), LayoutRecordBytes(FullBody()), "1000 750"}));
    Seed("page_compose", "plain",
         Parts({TaskFile(2, 200, 150), LayoutRecordBytes(PlainBody()), "640 480"}));

    Seed("task_file", "two_pages", TaskFile(2, 3543, 3543));
    Seed("task_file", "cut", TaskFile(1, 2362, 1772).left(900));

    const QByteArray list = Gbk("2211;婚纱\\浪漫经典\\玫瑰之约\\1.temp\r\n"
                                "1480;儿童\\童趣\\2.temp\r\n"
                                "12;写真\\a\\..\\b.temp\r\n");
    const QByteArray list2 =
        Gbk("<i><p>婚纱\\浪漫经典\\玫瑰之约\\1.temp</p><n>3</n><w>30</w>"
            "<h>30</h><f>1</f></i>\r\n<i><p>儿童\\童趣\\1.temp</p><n>2</n></i>");
    Seed("library_index", "lists", Parts({list, list2}));

    Seed("order_records", "order",
         Parts({Gbk("<n>相册<w>30</w><h>30</h><c>1</c><p>20</p></n>\r\n"
                    "<n>摆台<w>25.4</w><h>20</h><c>2</c><p></p></n>\r\n"),
                Gbk("<n>相册<w>30</w><h>30</h></n>\r\n<n>摆台<w>25.4</w><h>20</h></n>\r\n")}));
    Seed("order_records", "not_gbk",
         Parts({QByteArray("<n>\x81\xff<w>1</w><h>2</h><c>3</c><p>4</p></n>\n"),
                QByteArray("<n>x<w>1</w></n>rest\xfe")}));

    Seed("extract_tag", "element", Parts({"a<n>name<w>30</w></n>b", "<n>"}));
    Seed("extract_tag", "close_first", Parts({"</w>x<w>y</w>", "<w>"}));

    Seed("slot_mask", "square", QByteArray("\x07\x07\x00", 3) + EncodeMaskBmp(GreyMask(8, 8)));
    Seed("slot_mask", "wide", QByteArray("\x1f\x03\x01", 3) + EncodeMaskBmp(GreyMask(13, 2)));

    ImageSeeds("image_decode", QByteArray());
    Seed("image_decode", "alpha.png", OverlayPng());
    Seed("image_decode", "plain.bmp", EncodeImage(QuadrantImage(6, 4), "BMP"));
    Seed("image_decode", "mask.bmp", EncodeMaskBmp(GreyMask(5, 5)));
    ImageSeeds("jpeg_decode", QByteArray("\x05", 1));

    Seed("download_reply", "reply", Parts({"<html><ip> 127.0.0.1 </ip></html>\r\n", list}));
    Seed("download_reply", "ipv6", Parts({"<ip>::1</ip>", Gbk("5;全家福\\x\\1.temp\n")}));
    return 0;
}
