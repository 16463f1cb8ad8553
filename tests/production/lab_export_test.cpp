// Export by a lab's profile, read back with a reader of its own: names,
// resolution, quality, chroma, bleed and colour space of the written files.

#include "production/lab_export.h"

#include "common/messages.h"
#include "jpeg_files.h"
#include "listed_page.h"
#include "order_fixture.h"
#include "raster/raster.h"
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
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Exports a customer by a lab profile into one folder, keeping what the
// operator was told and the preflight findings shown.
struct LabExporter {
    explicit LabExporter(const QString& destination) : destination(destination) {}
    ExportResult Run(const QString& customer, const LabProfile& lab, LabExportOptions options) {
        shown.clear();
        messages.informed.clear();
        options.showFindings = [this](const QList<PreflightFinding>& f) { shown = f; };
        return ExportCustomer(
            customer, "1/1", [this] { return destination; }, messages, {},
            LabExportWriter(lab, customer, options));
    }
    QStringList Kinds() const {
        QStringList kinds;
        for (const PreflightFinding& f : shown)
            kinds.append(f.kind);
        return kinds;
    }
    QStringList Written() const {
        QStringList names;
        QDirIterator it(destination, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            names.append(it.next().mid(destination.size() + 1));
        names.sort();
        return names;
    }

    QString destination;
    RecordingMessages messages;
    QList<PreflightFinding> shown;
};

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
    // These pages have no layout records: the profile's output is tested
    // here, the order check below on an order that has records.
    ExportResult Export(const LabProfile& lab, const QList<PreflightCheck>& checks = {}) {
        LabExportOptions options;
        options.checks = checks;
        return exporter.Run("张三", lab, options);
    }

    TestFolder base;
    QString folder;
    LabExporter exporter{base.file("lab")};
    RecordingMessages& messages = exporter.messages;
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
    EXPECT_EQ(exporter.Written(), (QStringList{"张三/张三_摆台/001.jpg", "张三/张三_相册/001.jpg",
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

// A stop by any check, or by a file name pattern that gives two pages one
// name, writes nothing.
TEST_F(LabExportTest, AnyCheckOrCollidingNamesStopTheExportAndWriteNothing) {
    const PreflightCheck lowResolution = [](const QString&, const QList<ExportPage>&,
                                            const LabProfile&) {
        return QList<PreflightFinding>{{"low_ppi", "相册", "slot 1: 120 ppi", 0, 120.0}};
    };
    const struct {
        const char* fileName;
        QList<PreflightCheck> checks;
        QStringList kinds; // of the findings shown; none: a message instead
        const char* said;
    } cases[] = {
        {"{product}/{page}.jpg", {lowResolution}, {"low_ppi"}, "slot 1: 120 ppi"},
        {"{page}.jpg", {}, {}, "摆台 第1页: 1.jpg"}, // two pages named 1.jpg
    };
    for (const auto& c : cases) {
        LabProfile lab;
        lab.fileName = c.fileName;
        EXPECT_EQ(Export(lab, c.checks), ExportResult::Refused) << c.said;
        EXPECT_EQ(exporter.Kinds(), c.kinds);
        QStringList said = exporter.messages.informed;
        for (const PreflightFinding& f : exporter.shown)
            said.append(f.detail);
        EXPECT_TRUE(said.join('\n').contains(QString::fromUtf8(c.said)))
            << said.join('\n').toStdString();
        EXPECT_FALSE(QDir(base.file("lab")).exists()) << c.said;
    }
}

// The order check judged by the lab: its dpi for the page sizes, its
// min_ppi for the slots. Each kind of finding stops the export before
// anything is written; the order once fixed goes through.
TEST(LabPreflight, EachKindOfFindingStopsTheExportUntilTheOrderIsFixed) {
    TestFolder base;
    ProblemOrder order;
    LabExporter exporter(base.file("lab"));
    const QStringList everyKind{"page_count", "resolution",   "layout_record",
                                "size",       "not_rendered", "stale"};
    const QStringList sixSizes(6, "size");
    const struct {
        int dpi, minPpi;
        bool fixed;
        QStringList kinds;
    } cases[] = {
        {254, 150, false, everyKind},
        // A's photo prints at 141 ppi: enough for this lab.
        {254, 140, false, QStringList(everyKind).filter(QRegularExpression("^(?!resolution)"))},
        {300, 150, true, sixSizes},
        {254, 150, true, {}},
    };
    bool fixed = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi * 1000 + c.minPpi + c.fixed);
        if (c.fixed && !fixed)
            order.Fix();
        fixed = c.fixed;
        LabProfile lab;
        lab.dpi = c.dpi;
        lab.minPpi = c.minPpi;
        const ExportResult result = exporter.Run(ProblemOrder::kCustomer, lab, {});
        EXPECT_EQ(exporter.Kinds(), c.kinds);
        if (!c.kinds.isEmpty()) {
            EXPECT_EQ(result, ExportResult::Refused);
            EXPECT_FALSE(QDir(base.file("lab")).exists());
        }
    }
    EXPECT_EQ(exporter.Written().size(), 6);
    EXPECT_EQ(exporter.messages.informed, QStringList{"导出成功!"});
}

TEST(LabPreflight, ForcedExportWritesThePagesAndItsFindings) {
    TestFolder base;
    ProblemOrder order;
    order.Fix();
    LabExporter exporter(base.file("lab"));
    LabProfile lab;
    lab.dpi = 300;
    LabExportOptions options;
    options.force = true;
    ASSERT_EQ(exporter.Run(ProblemOrder::kCustomer, lab, options), ExportResult::Done);
    EXPECT_TRUE(exporter.shown.isEmpty());
    const QString customer = ProblemOrder::kCustomer;
    EXPECT_EQ(exporter.Written(), (QStringList{"A/1.jpg", "A/2.jpg", "B/1.jpg", "B/2.jpg",
                                               "B/3.jpg", "C/1.jpg", "preflight.json"}
                                       .replaceInStrings(QRegularExpression("^"), customer + "/")));
    const QJsonObject report =
        QJsonDocument::fromJson(ReadBytes(base.file("lab/" + customer + "/preflight.json")))
            .object();
    EXPECT_EQ(report["customer"].toString(), customer);
    const QJsonArray findings = report["findings"].toArray();
    ASSERT_EQ(findings.size(), 6);
    const QJsonObject second = findings[1].toObject();
    EXPECT_EQ(second["kind"].toString(), "size");
    EXPECT_EQ(second["page"].toString(), "A-2");
    EXPECT_TRUE(second["slot"].isNull());
    EXPECT_TRUE(second["detail"].toString().contains("708×472"))
        << second["detail"].toString().toStdString();
}
