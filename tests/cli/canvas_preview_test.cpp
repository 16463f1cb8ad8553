// taoban-cli preview: a template and photos composed into a page preview.

#include "cli_runner.h"
#include "cli_studio.h"
#include "compose/template_body.h"
#include "test_support.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QByteArray Png(int w, int h, const QColor& color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return EncodeImage(image, "PNG");
}

// Two slots side by side on a grey page whose sample is magenta.
QByteArray TwoSlotTemplate() {
    TemplateBody t;
    t.preview = Png(400, 300, Qt::magenta);
    t.background = Png(400, 300, QColor(128, 128, 128));
    t.width = 3000;
    t.height = 2250;
    t.rects = {{100, 100, 450, 650}, {550, 100, 900, 650}};
    return SerializeTemplateBody(t);
}

} // namespace

TEST(PreviewCli, ComposesThePhotosIntoTheSlotsInOrder) {
    TestFolder dir;
    const QString temp = dir.file("1.temp");
    ASSERT_TRUE(WriteBytes(temp, TwoSlotTemplate()));
    ASSERT_TRUE(WriteBytes(dir.file("red.png"), Png(300, 400, Qt::red)));
    QImage blue(300, 400, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(WriteBytes(dir.file("blue.jpg"), EncodeImage(blue, "JPEG")));
    const QString out = dir.file("out/page.jpg");
    const CliResult r = RunCli({"preview", temp, "--photo", dir.file("red.png"), "--photo",
                                dir.file("blue.jpg"), "--canvas", "800x600", "-o", out});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(json["width"].toInt(), 800);
    EXPECT_EQ(json["height"].toInt(), 600);
    EXPECT_EQ(json["slots"].toInt(), 2);
    EXPECT_EQ(json["photos"].toInt(), 2);

    const QImage page(out);
    ASSERT_EQ(page.size(), QSize(800, 600));
    // Slot 1 at (80, 80)-(360, 520), slot 2 at (440, 80)-(720, 520).
    EXPECT_TRUE(Near(page.pixel(120, 300), qRgb(255, 0, 0), 16));
    EXPECT_TRUE(Near(page.pixel(600, 300), qRgb(0, 0, 255), 16));
    EXPECT_TRUE(Near(page.pixel(20, 20), qRgb(128, 128, 128), 8)); // the sample is gone
    // No number marks in the saved page: a green "1" would sit at (207, 285)
    // in slot 1 and a red "2" at (567, 285) in slot 2.
    EXPECT_TRUE(Near(page.pixel(226, 294), qRgb(255, 0, 0), 16));
    EXPECT_TRUE(Near(page.pixel(579, 288), qRgb(0, 0, 255), 16));
}

TEST(PreviewCli, ProductSizeGivesThePagesProportions) {
    TestFolder dir;
    const QString temp = dir.file("1.temp");
    ASSERT_TRUE(WriteBytes(temp, TwoSlotTemplate()));
    const CliResult r =
        RunCli({"preview", temp, "--product", "2000x3000", "-o", dir.file("tall.jpg")});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    const QImage page(dir.file("tall.jpg"));
    EXPECT_EQ(page.size(), QSize(500, 750));
    EXPECT_TRUE(Near(page.pixel(250, 375), qRgb(255, 0, 255), 16)); // the template's sample
}

TEST(PreviewCli, RefusesWhatIsNoTemplateAndBadArguments) {
    TestFolder dir;
    const QByteArray good = TwoSlotTemplate();
    ASSERT_TRUE(WriteBytes(dir.file("json.temp"), QByteArray("{\"slots\": []}")));
    ASSERT_TRUE(WriteBytes(dir.file("cut.temp"), good.left(good.size() / 2)));
    ASSERT_TRUE(WriteBytes(dir.file("1.temp"), good));
    ASSERT_TRUE(WriteBytes(dir.file("p.png"), Png(50, 50, Qt::red)));
    ASSERT_TRUE(WriteBytes(dir.file("bad.jpg"), QByteArray("no picture")));
    const QString out = dir.file("never.jpg");
    const struct {
        QStringList args;
        QString says;
    } cases[] = {
        {{"preview", dir.file("json.temp"), "-o", out}, "not a template body"},
        {{"preview", dir.file("cut.temp"), "-o", out}, "not a template body"},
        {{"preview", dir.file("missing.temp"), "-o", out}, "cannot read"},
        {{"preview", dir.file("1.temp")}, "-o"},
        {{"preview", dir.file("1.temp"), "--canvas", "0x10", "-o", out}, "--canvas"},
        {{"preview", dir.file("1.temp"), "--product", "wide", "-o", out}, "--product"},
        {{"preview", dir.file("1.temp"), "--photo", dir.file("p.png"), "--photo", dir.file("p.png"),
          "--photo", dir.file("p.png"), "-o", out},
         "2 slots"},
        {{"preview", dir.file("1.temp"), "--photo", dir.file("nope.png"), "-o", out},
         "cannot read photo"},
        {{"preview", dir.file("1.temp"), "--photo", dir.file("bad.jpg"), "-o", out},
         "does not decode"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        EXPECT_TRUE(r.err.contains(c.says)) << Show(r);
        EXPECT_EQ(r.err.trimmed().count('\n'), 0) << Show(r);
        EXPECT_FALSE(QFile::exists(out));
    }
}
