// Lab profiles: every key's defaults, accepted values and refusals, and the
// file names a pattern gives.

#include "production/lab_profile.h"

#include "production_fixture.h"
#include "records/dpi_setting.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(LabProfile, EmptyObjectGivesTheDefaults) {
    ForgetDpiSetting();
    SetDpiText("300");
    LabProfile lab;
    QString error;
    ASSERT_TRUE(ParseLabProfile("{}", lab, error)) << error.toStdString();
    EXPECT_EQ(lab.dpi, 300); // the dpi setting
    EXPECT_FALSE(lab.adobeRgb);
    EXPECT_EQ(lab.jpegQuality, 100);
    EXPECT_FALSE(lab.halfChroma);
    EXPECT_EQ(lab.bleedMm, 0);
    EXPECT_EQ(lab.fileName, "{product}/{page}.jpg");
    EXPECT_EQ(lab.minPpi, 150);
    ForgetDpiSetting();
}

TEST(LabProfile, AcceptsEveryKeyAndRefusesWhatALabCannotMean) {
    LabProfile lab;
    QString error;
    ASSERT_TRUE(ParseLabProfile(R"({"dpi": 254, "colour_space": "AdobeRGB", "jpeg_quality": 92,
        "chroma": "4:2:0", "bleed_mm": 2.5, "file_name": "{customer}/{product}-{page:03}.JPG",
        "min_ppi": 200})",
                                lab, error))
        << error.toStdString();
    EXPECT_EQ(lab.dpi, 254);
    EXPECT_TRUE(lab.adobeRgb);
    EXPECT_EQ(lab.jpegQuality, 92);
    EXPECT_TRUE(lab.halfChroma);
    EXPECT_DOUBLE_EQ(lab.bleedMm, 2.5);
    EXPECT_EQ(lab.minPpi, 200);

    // Each refusal names what is wrong.
    const struct {
        const char* json;
        const char* reason;
    } refused[] = {
        {"[1]", "not a JSON object"},
        {"{\"dpi\": 300,}", "not JSON"},
        {R"({"resolution": 300})", "unknown key \"resolution\""},
        {R"({"dpi": 301})", "\"dpi\" must be 200, 254 or 300"},
        {R"({"dpi": "300"})", "\"dpi\" must be"},
        {R"({"colour_space": "Display P3"})", "\"colour_space\" must be"},
        {R"({"jpeg_quality": 0})", "\"jpeg_quality\" must be"},
        {R"({"jpeg_quality": 100.5})", "\"jpeg_quality\" must be"},
        {R"({"chroma": "4:2:2"})", "\"chroma\" must be"},
        {R"({"bleed_mm": -1})", "\"bleed_mm\" must be"},
        {R"({"min_ppi": 0})", "\"min_ppi\" must be"},
        {R"({"file_name": 3})", "\"file_name\" must be a text"},
        {R"({"file_name": "{product}.jpg"})", "must hold {page}"},
        {R"({"file_name": "{page}.png"})", "must end in \".jpg\""},
        {R"({"file_name": "{name}/{page}.jpg"})", "unknown placeholder {name}"},
        {R"({"file_name": "{product:03}/{page}.jpg"})", "unknown placeholder {product:03}"},
        {R"({"file_name": "{page.jpg"})", "without its \"}\""},
        {R"({"file_name": "../{page}.jpg"})", "\"..\" is not a usable"},
        {R"({"file_name": "/lab/{page}.jpg"})", "\"\" is not a usable"},
        {R"({"file_name": "a\\b{page}.jpg"})", "is not a usable"},
    };
    for (const auto& c : refused) {
        LabProfile untouched;
        untouched.jpegQuality = 77;
        EXPECT_FALSE(ParseLabProfile(c.json, untouched, error)) << c.json;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason)))
            << c.json << " gave: " << error.toStdString();
        EXPECT_EQ(untouched.jpegQuality, 77) << c.json;
    }
}

TEST(LabProfile, FileNamesFollowThePattern) {
    const struct {
        const char* pattern;
        int page;
        const char* name;
    } cases[] = {
        {"{product}/{page}.jpg", 3, "相册/3.jpg"},
        {"{product}/{page:02}.jpg", 3, "相册/03.jpg"},
        {"{customer}_{product}_{page:03}.jpg", 12, "张三_相册_012.jpg"},
        {"{customer}/{product}/p{page:2}.jpg", 123, "张三/相册/p123.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LabFileName(c.pattern, "张三", "相册", c.page), QString::fromUtf8(c.name))
            << c.pattern;
}

TEST(LabProfile, ReadsTheLabsFileAndNamesItInItsRefusal) {
    TestFolder base;
    LabProfile lab;
    QString error;
    EXPECT_FALSE(ReadLabProfile("快印", lab, error));
    EXPECT_TRUE(error.contains("no lab profile")) << error.toStdString();
    EXPECT_FALSE(ReadLabProfile("../快印", lab, error));

    ASSERT_TRUE(QDir().mkpath(base.file("设置/labs")));
    ASSERT_TRUE(WriteBytes(LabProfilePath("快印"), R"({"jpeg_quality": 90})"));
    ASSERT_TRUE(ReadLabProfile("快印", lab, error)) << error.toStdString();
    EXPECT_EQ(lab.jpegQuality, 90);
    ASSERT_TRUE(WriteBytes(LabProfilePath("快印"), R"({"quality": 90})"));
    EXPECT_FALSE(ReadLabProfile("快印", lab, error));
    EXPECT_TRUE(error.startsWith(base.file("设置/labs/快印.json"))) << error.toStdString();
}
