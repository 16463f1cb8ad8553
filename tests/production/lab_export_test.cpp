// Export by a lab's profile, read back with a reader of its own: names,
// resolution, quality, chroma, bleed and colour space of the written files.

#include "production/lab_export.h"

#include "common/messages.h"
#include "compose/raster.h"
#include "jpeg_files.h"
#include "listed_page.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QColorSpace>
#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Quadrants red, green, blue, yellow with an sRGB (60, 160, 90) patch in the
// middle.
QImage Page(int w, int h) {
    QImage page = QuadrantImage(w, h);
    QPainter(&page).fillRect(w / 2 - 20, h / 2 - 20, 40, 40, QColor(60, 160, 90));
    return page;
}

class LabExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = CustomerFolder("张三");
        ASSERT_TRUE(QDir().mkpath(folder));
        // 2 x 3 cm and 3 x 2 cm: 200 x 300 and 300 x 200 pixels at 254 dpi.
        ASSERT_TRUE(WriteOrderLines(OrderLinesPath(folder),
                                    {{"相册", "2", "3", "1", "2"}, {"摆台", "3", "2", "1", "1"}}));
        Render("相册", 200, 300);
        Render("相册-2", 200, 300);
        Render("摆台", 300, 200);
    }
    void Render(const QString& page, int w, int h) {
        ASSERT_TRUE(ListPageInTask(folder, page));
        ASSERT_TRUE(SaveJpeg(Page(w, h), BigPageImagePath(folder, page, ".jpg"), 254));
    }
    ExportResult Export(const LabProfile& lab, LabExportOptions options = {}) {
        shown.clear();
        options.showFindings = [this](const QList<PreflightFinding>& f) { shown = f; };
        return ExportCustomer(
            "张三", "3/3", [&] { return base.file("lab"); }, messages, {},
            LabExportWriter(lab, "张三", options));
    }
    QStringList Written() const {
        QStringList names;
        QDirIterator it(base.file("lab"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            names.append(it.next().mid(base.file("lab/").size()));
        names.sort();
        return names;
    }

    TestFolder base;
    QString folder;
    RecordingMessages messages;
    QList<PreflightFinding> shown;
};

} // namespace

TEST_F(LabExportTest, FilesFollowTheProfile) {
    LabProfile lab;
    QString error;
    ASSERT_TRUE(ParseLabProfile(R"({"dpi": 254, "colour_space": "AdobeRGB", "jpeg_quality": 90,
        "chroma": "4:2:0", "bleed_mm": 2, "file_name": "{customer}_{product}/{page:03}.jpg"})",
                                lab, error));
    ASSERT_EQ(Export(lab), ExportResult::Done);
    EXPECT_EQ(messages.informed, QStringList{"导出成功!"});
    EXPECT_EQ(Written(), (QStringList{"张三/张三_摆台/001.jpg", "张三/张三_相册/001.jpg",
                                      "张三/张三_相册/002.jpg"}));

    const QString path = base.file("lab/张三/张三_相册/002.jpg");
    const JpegHeaders h = ReadJpegHeaders(ReadBytes(path));
    // 2 mm at 254 dpi is 20 pixels on every side.
    EXPECT_EQ(h.width, 240);
    EXPECT_EQ(h.height, 340);
    EXPECT_EQ(h.units, 1);
    EXPECT_EQ(h.xDensity, 254);
    EXPECT_EQ(h.quality, 90);
    EXPECT_EQ(h.sampling, (QList<int>{0x22, 0x11, 0x11}));
    EXPECT_EQ(QColorSpace::fromIccProfile(h.icc), QColorSpace(QColorSpace::AdobeRgb));

    // The bleed repeats the page's edge pixels: every pixel of the margin
    // has the colour of the nearest pixel of the page (20 pixels in), and
    // the design keeps its scale: the patch is where it was.
    const QImage printed = QImageReader(path).read().convertToFormat(QImage::Format_RGB32);
    const struct {
        QPoint margin, edge;
    } probes[] = {{{0, 0}, {20, 20}},    {{239, 0}, {219, 20}}, {{239, 339}, {219, 319}},
                  {{0, 339}, {20, 319}}, {{5, 170}, {20, 170}}, {{120, 2}, {120, 20}}};
    for (const auto& p : probes)
        EXPECT_TRUE(Near(printed.pixel(p.margin), printed.pixel(p.edge), 4))
            << p.margin.x() << "," << p.margin.y();
    EXPECT_FALSE(Near(printed.pixel(0, 0), printed.pixel(239, 339), 64));
    EXPECT_TRUE(Near(printed.pixel(120, 170), qRgb(103, 159, 94), 4))
        << std::hex << printed.pixel(120, 170);
    // The patch's left edge moved by the bleed (x 80 + 20), not stretched
    // (it would start at 96): x 98 still has the quadrant's colour, x 101
    // the patch's.
    const QRgb quadrant = printed.pixel(90, 170);
    EXPECT_TRUE(Near(printed.pixel(98, 170), quadrant, 12));
    EXPECT_FALSE(Near(printed.pixel(101, 170), quadrant, 40));
}

// Any finding of the preflight stops the export before anything is written,
// whichever check made it; so does a file name pattern that gives two pages
// one name.
TEST_F(LabExportTest, PreflightFindingsAndCollidingNamesStopTheExportAndWriteNothing) {
    const PreflightCheck lowResolution = [](const QString&, const QList<ExportPage>&,
                                            const LabProfile&) {
        return QList<PreflightFinding>{{"low_ppi", "相册", "slot 1: 120 ppi"}};
    };
    const struct {
        int dpi;
        const char* fileName;
        QList<PreflightCheck> checks;
        QStringList kinds; // of the findings shown; none: a message instead
        const char* said;
    } cases[] = {
        {300,
         "{product}/{page}.jpg",
         {WrongSizeFindings},
         {"wrong_size", "wrong_size", "wrong_size"},
         "相册 第2页: 200 x 300 像素, 300 dpi 应为 236 x 354"},
        {254,
         "{product}/{page}.jpg",
         {WrongSizeFindings, lowResolution},
         {"low_ppi"},
         "slot 1: 120 ppi"},
        {254, "{page}.jpg", {WrongSizeFindings}, {}, "摆台 第1页: 1.jpg"}, // one name
    };
    for (const auto& c : cases) {
        LabProfile lab;
        lab.dpi = c.dpi;
        lab.fileName = c.fileName;
        LabExportOptions options;
        options.checks = c.checks;
        messages.informed.clear();
        EXPECT_EQ(Export(lab, options), ExportResult::Refused) << c.said;
        QStringList kinds, said = messages.informed;
        for (const PreflightFinding& f : shown) {
            kinds.append(f.kind);
            said.append(f.detail);
        }
        EXPECT_EQ(kinds, c.kinds);
        EXPECT_TRUE(said.join('\n').contains(QString::fromUtf8(c.said)))
            << said.join('\n').toStdString();
        EXPECT_FALSE(QDir(base.file("lab")).exists()) << c.said;
    }
}

TEST_F(LabExportTest, ForcedExportWritesThePagesAndItsFindings) {
    LabProfile lab;
    lab.dpi = 300;
    LabExportOptions options;
    options.force = true;
    ASSERT_EQ(Export(lab, options), ExportResult::Done);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(Written(), (QStringList{"张三/preflight.json", "张三/摆台/1.jpg", "张三/相册/1.jpg",
                                      "张三/相册/2.jpg"}));
    const QJsonObject report =
        QJsonDocument::fromJson(ReadBytes(base.file("lab/张三/preflight.json"))).object();
    EXPECT_EQ(report["customer"].toString(), "张三");
    const QJsonArray findings = report["findings"].toArray();
    ASSERT_EQ(findings.size(), 3);
    EXPECT_EQ(findings[1].toObject()["kind"].toString(), "wrong_size");
    EXPECT_EQ(findings[1].toObject()["page"].toString(), "相册-2");
}
