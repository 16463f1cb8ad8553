#include "compose/template_body.h"
#include "templates/mask_bmp.h"
#include "templates/template_packer.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A folder holding the image files a description names.
class PackFolder {
public:
    PackFolder() {
        preview = EncodeImage(QuadrantImage(60, 40), "JPEG");
        QImage clear(30, 20, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        overlay = EncodeImage(clear, "PNG");
        background = EncodeImage(QuadrantImage(90, 60), "JPEG");
        QImage maskImage(12, 9, QImage::Format_RGB32);
        maskImage.fill(Qt::white);
        mask = EncodeImage(maskImage, "PNG");
        Write("preview.jpg", preview);
        Write("art/overlay.png", overlay);
        Write("background.jpg", background);
        Write("mask1.png", mask);
        Write("notes.txt", "not an image");
    }
    void Write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(file(name)).absolutePath());
        ASSERT_TRUE(WriteBytes(file(name), bytes));
    }
    QString file(const QString& name) const { return folder_.file("desc/" + name); }
    QString Describe(const QByteArray& json) const {
        Write("t.json", json);
        return file("t.json");
    }

    QByteArray preview, overlay, background, mask;

private:
    TestFolder folder_;
};

const char* kFullDescription = R"({
  "page_size_cm": [29.7, 21],
  "preview": "preview.jpg",
  "overlay": "art/overlay.png",
  "background": "background.jpg",
  "slots": [
    {"rect": [100, 100, 500, 700], "mask": "mask1.png", "front": 1, "transparency": 40,
     "shear": -12, "angle": 350, "border": "#12ab3C"},
    {"rect": [520, 50, 980, 400]},
    {"rect": [0, 0, 1000, 750], "front": true, "angle": -90}
  ]
})";

TEST(TemplatePacker, StoresEveryFieldOfTheDescription) {
    PackFolder folder;
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(PackTemplate(folder.Describe(kFullDescription), bytes, error))
        << error.toStdString();
    EXPECT_TRUE(error.isEmpty());

    TemplateBody body;
    ASSERT_EQ(ParseTemplateBody(bytes, body), BodyStatus::Ok);
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), kTemplateMarker);
    EXPECT_EQ(body.width, 2970);
    EXPECT_EQ(body.height, 2100);
    EXPECT_EQ(body.pageSizeBlock.size(), 8);
    EXPECT_EQ(body.preview, folder.preview);
    EXPECT_EQ(body.overlay, folder.overlay);
    EXPECT_EQ(body.background, folder.background);

    ASSERT_EQ(body.maskSizes.size(), 3);
    EXPECT_EQ(body.maskSizes[0], 1078u + 12u * 9u);
    EXPECT_EQ(body.maskSizes[1], 0u);
    EXPECT_EQ(body.maskSizes[2], 0u);
    QImage white(12, 9, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(body.MaskFor(0), EncodeMaskBmp(white));
    EXPECT_TRUE(body.MaskFor(1).isEmpty());

    ASSERT_EQ(body.rects.size(), 3);
    EXPECT_EQ(body.rects[0], (Rect{100, 100, 500, 700}));
    EXPECT_EQ(body.rects[1], (Rect{520, 50, 980, 400}));
    EXPECT_EQ(body.rects[2], (Rect{0, 0, 1000, 750}));

    EXPECT_EQ(body.front[0], 1);
    EXPECT_EQ(body.transparency[0], 40);
    EXPECT_EQ(body.shear[0], -12);
    EXPECT_EQ(body.angle[0], 350);
    EXPECT_EQ(body.borderColor[0], 0x003CAB12u); // 0x00BBGGRR
    EXPECT_EQ(body.front[1], 0);
    EXPECT_EQ(body.borderColor[1], 0u);
    EXPECT_EQ(body.front[2], 1);
    EXPECT_EQ(body.angle[2], -90);
    for (int i = 3; i < kSlotCount; ++i) {
        EXPECT_EQ(body.front[i], 0);
        EXPECT_EQ(body.angle[i], 0);
    }
}

TEST(TemplatePacker, PageSizeIsRoundedToHundredthsAndOverlayIsOptional) {
    PackFolder folder;
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(PackTemplate(folder.Describe(R"({"page_size_cm": [10.004, 15.006],
        "preview": "preview.jpg", "background": "background.jpg", "slots": []})"),
                             bytes, error))
        << error.toStdString();
    TemplateBody body;
    ASSERT_EQ(ParseTemplateBody(bytes, body), BodyStatus::Ok);
    EXPECT_EQ(body.width, 1000);
    EXPECT_EQ(body.height, 1501);
    EXPECT_TRUE(body.overlay.isEmpty());
    EXPECT_TRUE(body.rects.isEmpty());
    EXPECT_TRUE(body.maskSizes.isEmpty());
}

struct Refused {
    const char* json;
    const char* reasonContains;
};

TEST(TemplatePacker, RefusesBadDescriptionsWithAReasonAndWritesNothing) {
    const QList<Refused> cases = {
        {"{", "not valid JSON"},
        {"[1, 2]", "one JSON object"},
        {R"({"page_size_cm": [30], "preview": "preview.jpg", "background": "background.jpg"})",
         "page_size_cm"},
        {R"({"page_size_cm": [30, -2], "preview": "preview.jpg", "background": "background.jpg"})",
         "page_size_cm"},
        {R"({"page_size_cm": [30, "20"], "preview": "preview.jpg", "background": "background.jpg"})",
         "page_size_cm"},
        {R"({"page_size_cm": [30, 20], "background": "background.jpg"})", "\"preview\""},
        {R"({"page_size_cm": [30, 20], "preview": "missing.jpg", "background": "background.jpg"})",
         "missing.jpg"},
        {R"({"page_size_cm": [30, 20], "preview": "notes.txt", "background": "background.jpg"})",
         "not an image"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg"})", "\"background\""},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "backgruond": "x.jpg"})",
         "unknown key \"backgruond\""},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": {}})",
         "\"slots\""},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 3]}]})",
         "slots[0]"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40]}, {"rect": [10, 10, 10, 40]}]})",
         "slots[1]"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30.5, 40]}]})",
         "whole number"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40], "transparency": 256}]})",
         "transparency"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40], "angle": "90"}]})",
         "angle"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40], "border": "#12345"}]})",
         "border"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40], "border": "#0x1234"}]})",
         "border"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40], "mask": "notes.txt"}]})",
         "not an image"},
        {R"({"page_size_cm": [30, 20], "preview": "preview.jpg", "background": "background.jpg",
            "slots": [{"rect": [1, 2, 30, 40], "colour": 3}]})",
         "unknown key \"colour\""},
    };
    PackFolder folder;
    const QString out = folder.file("out/1.temp");
    for (const Refused& c : cases) {
        QString error;
        EXPECT_FALSE(PackTemplateFile(folder.Describe(c.json), out, error)) << c.json;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reasonContains)))
            << error.toStdString() << " for " << c.json;
        EXPECT_FALSE(error.contains('\n'));
        EXPECT_FALSE(QFileInfo::exists(out)) << c.json;
    }
}

TEST(TemplatePacker, TwentySlotsAreTheMostAndAFailedPackKeepsTheOldFile) {
    PackFolder folder;
    auto describe = [&](int slotCount) {
        QByteArray json = R"({"page_size_cm": [30, 20], "preview": "preview.jpg",
                              "background": "background.jpg", "slots": [)";
        for (int i = 0; i < slotCount; ++i)
            json += QByteArray(i ? "," : "") + "{\"rect\": [" + QByteArray::number(i * 10) +
                    ", 0, " + QByteArray::number(i * 10 + 9) +
                    ", 100], \"angle\": " + QByteArray::number(i) + "}";
        return folder.Describe(json + "]}");
    };
    const QString out = folder.file("1.temp");
    QString error;
    ASSERT_TRUE(PackTemplateFile(describe(20), out, error)) << error.toStdString();
    const QByteArray written = ReadBytes(out);
    TemplateBody body;
    ASSERT_EQ(ParseTemplateBody(written, body), BodyStatus::Ok);
    EXPECT_EQ(body.SlotRects().size(), 20);
    EXPECT_EQ(body.angle[19], 19);

    EXPECT_FALSE(PackTemplateFile(describe(21), out, error));
    EXPECT_TRUE(error.contains("21")) << error.toStdString();
    EXPECT_EQ(ReadBytes(out), written);
    EXPECT_EQ(QDir(folder.file("")).entryList({"*.temp*"}, QDir::Files | QDir::Hidden),
              QStringList{"1.temp"});
}

TEST(TemplatePacker, MissingDescriptionIsRefused) {
    PackFolder folder;
    QByteArray bytes;
    QString error;
    EXPECT_FALSE(PackTemplate(folder.file("none.json"), bytes, error));
    EXPECT_TRUE(error.contains("none.json"));
    EXPECT_TRUE(bytes.isEmpty());
}

} // namespace
