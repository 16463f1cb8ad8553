// open-page and delete-page on a task made with add-page.

#include "cli_runner.h"
#include "cli_studio.h"
#include "compose/template_body.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QJsonObject Json(const CliResult& r) {
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

class FinishedPagesCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        TemplateBody body;
        body.preview = EncodeImage(QuadrantImage(80, 60), "JPEG");
        body.width = 2000;
        body.height = 3000;
        QImage background(200, 300, QImage::Format_RGB32);
        background.fill(QColor(240, 230, 220));
        body.background = EncodeImage(background, "PNG");
        body.rects = {TemplateRect{50, 50, 480, 700}};
        templatePath = dir.file("page.temp");
        WriteBytes(templatePath, SerializeTemplateBody(body));
        photo = dir.file("照片.jpg");
        WriteBytes(photo, EncodeImage(QuadrantImage(600, 400), "JPEG"));
        ASSERT_EQ(Cli({"catalogue", "add", "A", "20", "30"}).exitCode, 0);
        ASSERT_EQ(Cli({"new-customer", "甲", "--product", "A"}).exitCode, 0);
    }

    CliResult Cli(const QStringList& args) { return RunCli(args, dir.path()); }
    QString AddPage(const QString& product) {
        QStringList args{"add-page", "--customer", "甲",       "--template", templatePath,
                         "--photo",  photo,        "--canvas", "1000x750"};
        if (!product.isEmpty())
            args << "--product" << product;
        const CliResult r = Cli(args);
        EXPECT_EQ(r.exitCode, 0) << Show(r);
        return Json(r)["page"].toString();
    }
    QStringList PageNames() {
        QStringList names;
        for (const QJsonValue& page :
             Json(Cli({"task-info", CustomerFolder("甲")}))["pages"].toArray())
            names.append(page.toObject()["name"].toString());
        return names;
    }

    TestFolder dir;
    QString templatePath, photo;
};

TEST_F(FinishedPagesCliTest, OpenPagePrintsItsLabelProductAndSlotsAsTaskInfoDoes) {
    EXPECT_EQ(AddPage("A"), "A");
    EXPECT_EQ(AddPage("A"), "A-2");
    EXPECT_EQ(AddPage({}), "未知产品");

    CliResult r = Cli({"open-page", "甲", "A-2"});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    const QJsonObject opened = Json(r);
    EXPECT_EQ(opened["size_label"].toString(), "模板 20,30cm   输出 20,30cm");
    EXPECT_EQ(opened["product"].toString(), "A");
    const QJsonArray pages = Json(Cli({"task-info", CustomerFolder("甲")}))["pages"].toArray();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(opened["slots"].toArray(), pages[1].toObject()["slots"].toArray());
    EXPECT_EQ(opened["slots"].toArray()[0].toObject()["photo_name"].toString(), "照片.jpg");

    r = Cli({"open-page", "甲", "未知产品"});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_TRUE(Json(r)["product"].isNull()) << Show(r);

    EXPECT_EQ(Cli({"open-page", "甲", "B"}).exitCode, 2);
    EXPECT_EQ(Cli({"open-page", "甲"}).exitCode, 2);
}

TEST_F(FinishedPagesCliTest, DeletePageAsksAndTheFreedNameIsTakenAgain) {
    for (int i = 0; i < 3; ++i)
        AddPage("A");
    const QString folder = CustomerFolder("甲");

    CliResult r = Cli({"delete-page", "甲", "A-2"});
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_EQ(r.OutLines(), QStringList{"确认删除吗？"});
    EXPECT_EQ(PageNames(), (QStringList{"A", "A-2", "A-3"}));

    r = Cli({"delete-page", "甲", "A-2", "--yes"});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(r.OutLines().value(0), "确认删除吗？");
    EXPECT_EQ(r.OutLines().value(1), R"({"deleted":"A-2","pages":["A","A-3"]})");
    EXPECT_EQ(PageNames(), (QStringList{"A", "A-3"}));
    EXPECT_FALSE(QFileInfo::exists(folder + "/A-2.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/dataA-2"));
    EXPECT_EQ(AddPage("A"), "A-2");

    // A page whose layout record is gone is dropped when opened.
    ASSERT_TRUE(QDir(folder + "/dataA-3").removeRecursively());
    r = Cli({"open-page", "甲", "A-3"});
    EXPECT_EQ(r.exitCode, 2) << Show(r);
    EXPECT_EQ(PageNames(), (QStringList{"A", "A-2"}));
    EXPECT_EQ(Cli({"delete-page", "甲", "A-3", "--yes"}).exitCode, 2);
}

} // namespace
