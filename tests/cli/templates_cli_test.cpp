#include "cli_runner.h"
#include "common/gbk.h"
#include "compose/template_body.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QJsonObject ParseObject(const CliResult& result) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();
    return doc.object();
}

QJsonArray Pair(int a, int b) {
    return QJsonArray{a, b};
}

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(WriteBytes(path, bytes));
}

QImage Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(TemplatesCli, PackThenInfoGivesBackEveryField) {
    TestFolder folder;
    Write(folder.file("d/preview.jpg"), EncodeImage(QuadrantImage(64, 48), "JPEG"));
    Write(folder.file("d/img/overlay.png"), EncodeImage(Filled(80, 60, 0x80FF0000), "PNG"));
    Write(folder.file("d/background.png"), EncodeImage(QuadrantImage(160, 120), "PNG"));
    Write(folder.file("d/m0.png"), EncodeImage(Filled(13, 7, 0xFFFFFFFF), "PNG"));
    Write(folder.file("d/m2.jpg"), EncodeImage(QuadrantImage(20, 30), "JPEG"));
    Write(folder.file("d/desc.json"), R"({
      "page_size_cm": [25.4, 30.48],
      "preview": "preview.jpg", "overlay": "img/overlay.png", "background": "background.png",
      "slots": [
        {"rect": [10, 20, 400, 700], "mask": "m0.png", "front": 1, "transparency": 128,
         "shear": 7, "angle": 15, "border": "#FF8000"},
        {"rect": [450, 20, 990, 360], "border": "#0000ff", "angle": -30},
        {"rect": [450, 380, 990, 740], "mask": "m2.jpg", "shear": -3, "transparency": 255}
      ]})");

    const QString out = folder.file("模板/婚纱/组/套/1.temp");
    const CliResult pack = RunCli({"pack-template", folder.file("d/desc.json"), out});
    ASSERT_EQ(pack.exitCode, 0) << pack.err.toStdString();
    ASSERT_TRUE(QFileInfo(out).isFile());

    const CliResult info = RunCli({"template-info", out});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QJsonObject o = ParseObject(info);
    EXPECT_EQ(o["marker"].toInt(), 200);
    EXPECT_EQ(o["page_size"].toArray(), Pair(2540, 3048));
    EXPECT_EQ(o["preview"].toArray(), Pair(64, 48));
    EXPECT_EQ(o["overlay"].toArray(), Pair(80, 60));
    EXPECT_EQ(o["background"].toArray(), Pair(160, 120));
    // 8-bit BMPs: 1078 header bytes, rows padded to 4.
    EXPECT_EQ(o["mask_sizes"].toArray(), (QJsonArray{1078 + 16 * 7, 0, 1078 + 20 * 30}));
    EXPECT_EQ(o["rects"].toArray(),
              (QJsonArray{QJsonArray{10, 20, 400, 700}, QJsonArray{450, 20, 990, 360},
                          QJsonArray{450, 380, 990, 740}}));

    const QJsonArray slotValues = o["slots"].toArray();
    ASSERT_EQ(slotValues.size(), 20);
    auto expectSlot = [&](int i, int front, int transparency, int shear, int angle,
                          const char* border) {
        const QJsonObject s = slotValues[i].toObject();
        EXPECT_EQ(s["front"].toInt(), front) << "slot " << i;
        EXPECT_EQ(s["transparency"].toInt(), transparency) << "slot " << i;
        EXPECT_EQ(s["shear"].toInt(), shear) << "slot " << i;
        EXPECT_EQ(s["angle"].toInt(), angle) << "slot " << i;
        EXPECT_EQ(s["border"].toString(), border) << "slot " << i;
    };
    expectSlot(0, 1, 128, 7, 15, "#FF8000");
    expectSlot(1, 0, 0, 0, -30, "#0000FF");
    expectSlot(2, 0, 255, -3, 0, "#000000");
    for (int i = 3; i < 20; ++i)
        expectSlot(i, 0, 0, 0, 0, "#000000");
}

TEST(TemplatesCli, InfoShowsNullForMissingOrBrokenImagesAndDropsEmptyRects) {
    TestFolder folder;
    TemplateBody body;
    body.preview = "this is no picture";
    body.width = 1500;
    body.height = 1000;
    body.background = EncodeImage(QuadrantImage(30, 20), "PNG");
    body.rects = {{0, 0, 100, 100},   {100, 0, 200, 100},  {0, 0, 0, 0},
                  {200, 0, 300, 100}, {300, 50, 300, 100}, {300, 0, 400, 100}};
    body.masks = {QByteArray(), QByteArray("abc"), QByteArray()};
    body.angle[2] = 45; // the values of position 2 belong to the former rectangle 3
    body.borderColor[0] = 0x00563412;
    Write(folder.file("odd.temp"), SerializeTemplateBody(body));

    const CliResult info = RunCli({"template-info", folder.file("odd.temp")});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QJsonObject o = ParseObject(info);
    EXPECT_TRUE(o["preview"].isNull());
    EXPECT_TRUE(o["overlay"].isNull());
    EXPECT_EQ(o["background"].toArray(), Pair(30, 20));
    EXPECT_EQ(o["page_size"].toArray(), Pair(1500, 1000));
    EXPECT_EQ(o["mask_sizes"].toArray(), (QJsonArray{0, 3, 0}));
    EXPECT_EQ(o["rects"].toArray(),
              (QJsonArray{QJsonArray{0, 0, 100, 100}, QJsonArray{100, 0, 200, 100},
                          QJsonArray{200, 0, 300, 100}, QJsonArray{300, 0, 400, 100}}));
    EXPECT_EQ(o["slots"].toArray()[2].toObject()["angle"].toInt(), 45);
    EXPECT_EQ(o["slots"].toArray()[0].toObject()["border"].toString(), "#123456");
}

TEST(TemplatesCli, InfoRefusesWhatIsNotATemplate) {
    TestFolder folder;
    TemplateBody body;
    body.preview = EncodeImage(QuadrantImage(8, 8), "PNG");
    body.rects = {{0, 0, 10, 10}};
    body.masks = {QByteArray()};
    QByteArray whole = SerializeTemplateBody(body);

    QByteArray wrongMarker = whole;
    wrongMarker[0] = 'x';
    Write(folder.file("marker.temp"), wrongMarker);
    Write(folder.file("cut.temp"), whole.left(whole.size() - 10));
    QByteArray longPreview = whole;
    longPreview[4] = '\x7F'; // the preview length now runs far past the end
    Write(folder.file("long.temp"), longPreview);
    Write(folder.file("empty.temp"), QByteArray());

    for (const char* name : {"marker.temp", "cut.temp", "long.temp", "empty.temp", "none.temp"}) {
        const CliResult info = RunCli({"template-info", folder.file(name)});
        EXPECT_EQ(info.exitCode, 2) << name;
        EXPECT_TRUE(info.out.isEmpty()) << name;
        QString err = info.err;
        // Only the command's own reason, one line.
        const QStringList lines = err.split('\n', Qt::SkipEmptyParts).filter("taoban-cli");
        ASSERT_EQ(lines.size(), 1) << name << ": " << err.toStdString();
        EXPECT_TRUE(lines[0].contains(name)) << lines[0].toStdString();
    }
    EXPECT_EQ(RunCli({"template-info"}).exitCode, 2);
}

TEST(TemplatesCli, PackRefusalWritesNothing) {
    TestFolder folder;
    Write(folder.file("preview.jpg"), EncodeImage(QuadrantImage(8, 8), "JPEG"));
    Write(folder.file("bad.json"), R"({"page_size_cm": [30, 20], "preview": "preview.jpg",
                                       "background": "gone.jpg"})");
    const QString out = folder.file("out/1.temp");
    const CliResult pack = RunCli({"pack-template", folder.file("bad.json"), out});
    EXPECT_EQ(pack.exitCode, 2);
    EXPECT_TRUE(pack.err.contains("gone.jpg")) << pack.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(RunCli({"pack-template", folder.file("bad.json")}).exitCode, 2);
}

// Commands on named files leave the studio folder alone: not made, not
// stocked with the demo library, whether they succeed or refuse.
TEST(TemplatesCli, FileCommandsNeverStockTheStudio) {
    TestFolder files;
    Write(files.file("preview.jpg"), EncodeImage(QuadrantImage(8, 8), "JPEG"));
    Write(files.file("background.png"), EncodeImage(QuadrantImage(30, 20), "PNG"));
    Write(files.file("good.json"), R"({"page_size_cm": [30, 20], "preview": "preview.jpg",
                                       "background": "background.png"})");
    Write(files.file("bad.json"), R"({"page_size_cm": [30, 20], "background": "gone.jpg"})");
    const struct {
        QStringList args;
        int exitCode;
    } runs[] = {
        {{"pack-template", files.file("bad.json"), files.file("bad.temp")}, 2},
        {{"pack-template", files.file("good.json"), files.file("good.temp")}, 0},
        {{"template-info", files.file("good.temp")}, 0},
        {{"template-info", files.file("bad.temp")}, 2},
        {{"pack-template", files.file("good.json"), files.file("lib/婚纱/套/1.temp")}, 0},
        {{"publish-library", files.file("lib")}, 0},
        {{"publish-library", files.file("broken")}, 2}, // a page 1 that is no package
        {{"publish-library", files.file("none")}, 2},
    };
    Write(files.file("broken/1.temp"), "x");
    TestFolder studio;
    // The demo library at hand, as beside an installed program.
    const QByteArray otherDemo = qgetenv("TAOBAN_DEMO_DIR");
    qputenv("TAOBAN_DEMO_DIR", TAOBAN_BINARY_DIR "/demo");
    for (const auto& run : runs) {
        const CliResult r = RunCli(run.args, studio.path());
        EXPECT_EQ(r.exitCode, run.exitCode)
            << run.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(
            QDir(studio.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << run.args.join(' ').toStdString();
    }
    EXPECT_EQ(ReadBytes(files.file("lib/list.txt")),
              ToGbk(QString("%1;婚纱\\套\\1.temp\r\n")
                        .arg(QFileInfo(files.file("lib/婚纱/套/1.temp")).size())));
    EXPECT_EQ(ReadBytes(files.file("lib/list2.txt")),
              ToGbk("<i><p>婚纱\\套\\1.temp</p><n>0</n><w>30</w><h>20</h><f>0.6667</f></i>\r\n"));
    EXPECT_FALSE(QFileInfo::exists(files.file("broken/list.txt")));
    // A command that uses the studio still stocks it.
    EXPECT_EQ(RunCli({"library"}, studio.path()).exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(studio.file("模板/list.txt")));
    qputenv("TAOBAN_DEMO_DIR", otherDemo);
}

TEST(TemplatesCli, LibraryListsTheIndexRelativeToTheBase) {
    TestFolder folder;
    Write(folder.file("模板/婚纱/唯美/套一/1.temp"), "x");
    Write(folder.file("模板/婚纱/唯美/套一/2.temp"), "x");
    Write(folder.file("模板/list.txt"),
          ToGbk(QStringLiteral("10;婚纱\\唯美\\套一\\1.temp\r\n11;..\\..\\evil\\1.temp\r\n")));
    Write(folder.file("模板/list2.txt"),
          ToGbk(QStringLiteral("<i><p>婚纱\\唯美\\套一\\1.temp</p><n>3</n>\r\n<w>30</w><h>20</h>"
                               "<f>1.5</f></i>")));

    const CliResult result = RunCli({"library"}, folder.path());
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonObject o = ParseObject(result);
    EXPECT_EQ(o["set_folders"].toArray(), QJsonArray{QStringLiteral("模板/婚纱/唯美/套一")});
    EXPECT_EQ(o["group_folders"].toArray(), QJsonArray{QStringLiteral("模板/婚纱/唯美")});
    QStringList templates;
    for (const QJsonValue& v : o["templates"].toArray())
        templates.append(v.toString());
    templates.sort();
    EXPECT_EQ(templates, QStringList({QStringLiteral("模板/婚纱/唯美/套一/1.temp"),
                                      QStringLiteral("模板/婚纱/唯美/套一/2.temp")}));
    EXPECT_EQ(o["sets"].toArray(), QJsonArray{QStringLiteral("模板/婚纱/唯美/套一/1.temp")});
    const QJsonArray index = o["set_index"].toArray();
    ASSERT_EQ(index.size(), 1);
    EXPECT_EQ(index[0].toObject()["path"].toString(), QStringLiteral("婚纱\\唯美\\套一\\1.temp"));
    EXPECT_EQ(index[0].toObject()["slots"].toString(), "3");
    EXPECT_EQ(index[0].toObject()["width"].toString(), "30");
    EXPECT_EQ(index[0].toObject()["height"].toString(), "20");
    EXPECT_EQ(index[0].toObject()["proportion"].toString(), "1.5");
    const QJsonObject open = o["open_set"].toObject();
    EXPECT_EQ(open["key"].toString(), QStringLiteral("婚纱-唯美-套一"));
    EXPECT_EQ(open["labels"].toArray(),
              (QJsonArray{QStringLiteral("婚纱-唯美-套一-1"), QStringLiteral("婚纱-唯美-套一-2")}));
    EXPECT_EQ(o["unsafe_lines_skipped"].toInt(), 1);

    TestFolder empty;
    const CliResult none = RunCli({"library"}, empty.path());
    ASSERT_EQ(none.exitCode, 0);
    const QJsonObject e = ParseObject(none);
    EXPECT_TRUE(e["templates"].toArray().isEmpty());
    EXPECT_TRUE(e["set_index"].toArray().isEmpty());
    EXPECT_TRUE(e["open_set"].isNull());
}

} // namespace
