// taoban-cli given hostile pictures: as photos of preview and add-page, as
// template backgrounds for template-info, preview, add-page and
// compose-task. Each is refused and named; nothing is saved from it.

#include "cli_studio.h"
#include "compose/template_body.h"
#include "hostile_images.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <functional>

namespace {

class HostileImagesCli : public OneCustomerStudio {
protected:
    QStringList AddPage(const QString& withTemplate, const QString& withPhoto) const {
        return {"add-page",   "--customer", "张三",    "--product", "相册",   "--template",
                withTemplate, "--photo",    withPhoto, "--canvas",  "400x300"};
    }
    int Pages() const {
        CustomerTask task;
        EXPECT_TRUE(task.Load(TaskFilePath(CustomerFolder("张三"))));
        return static_cast<int>(task.pages.size());
    }
    // A template like the packed one with the picture as its background.
    QString TemplateWithBackground(const QString& name, const QByteArray& background) const {
        TemplateBody body;
        body.preview = EncodeImage(QuadrantImage(80, 60), "JPEG");
        body.width = 2000;
        body.height = 3000;
        body.background = background;
        body.rects = {TemplateRect{50, 50, 480, 700}, TemplateRect{520, 50, 950, 700}};
        const QString path = dir.file(name + ".temp");
        WriteBytes(path, SerializeTemplateBody(body));
        return path;
    }
};

TEST_F(HostileImagesCli, EveryCommandRefusesThem) {
    const struct {
        const char* name;
        QByteArray bytes;
        bool sizeTold; // the header's claim is believable; only decoding fails
    } cases[] = {
        {"claim.jpg", ForgedProgressiveJpeg(15000, 16000, 200), false},
        {"scans.jpg", ForgedProgressiveJpeg(1000, 1000, 20000), true},
        {"flat.png", FlatPng(15000, 16000, 1, 1), false},
    };
    for (const auto& c : cases) {
        const QString hostile = dir.file(c.name);
        ASSERT_TRUE(WriteBytes(hostile, c.bytes));
        const QString out = dir.file("out.jpg");
        CliResult r = RunCli({"preview", templ, "--photo", hostile, "-o", out});
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        EXPECT_TRUE(r.err.contains("does not decode")) << Show(r);
        EXPECT_FALSE(QFileInfo::exists(out)) << c.name;

        r = RunCli(AddPage(templ, hostile), base);
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        EXPECT_TRUE(r.err.contains("does not decode")) << Show(r);
        EXPECT_EQ(Pages(), 0) << c.name;

        const QString hostileTemplate = TemplateWithBackground(c.name, c.bytes);
        r = RunCli({"template-info", hostileTemplate});
        ASSERT_EQ(r.exitCode, 0) << Show(r);
        const QJsonValue size =
            QJsonDocument::fromJson(r.out.toUtf8()).object().value("background");
        EXPECT_EQ(size.isNull(), !c.sizeTold) << Show(r);

        r = RunCli({"preview", hostileTemplate, "--photo", photo, "-o", out});
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        EXPECT_TRUE(r.err.contains("background does not decode")) << Show(r);
        EXPECT_FALSE(QFileInfo::exists(out)) << c.name;
        r = RunCli(AddPage(hostileTemplate, photo), base);
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        EXPECT_TRUE(r.err.contains("background does not decode")) << Show(r);
        EXPECT_EQ(Pages(), 0) << c.name;
    }
    // The ordinary template and photo do make a page.
    EXPECT_EQ(RunCli(AddPage(templ, photo), base).exitCode, 0);
    EXPECT_EQ(Pages(), 1);
}

} // namespace

// A saved page whose layout record holds a hostile photo or background (as
// a damaged or tampered file would): compose-task renders the page with that
// slot empty, as for a photo that does not decode, or leaves out the page
// whose background does not decode, as for any such page.
TEST_F(HostileImagesCli, ComposeTaskLeavesThemOut) {
    CliResult r = RunCli(AddPage(templ, photo), base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    QString dat;
    QDirIterator it(CustomerFolder("张三"), {"dat"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        dat = it.next();
    ASSERT_FALSE(dat.isEmpty());
    const QString rendered = CustomerFolder("张三") + "/big相册.jpg";
    const QByteArray whole = ReadBytes(dat);
    // Writes the record changed by change, renders the task afresh and
    // returns the rendered page (empty when none was written).
    const auto render = [&](const std::function<void(LayoutRecord&, TemplateBody&)>& change) {
        LayoutRecord record;
        TemplateBody body;
        EXPECT_TRUE(ParseLayoutRecord(whole, record));
        EXPECT_EQ(ParseTemplateBody(record.body, body), BodyStatus::Ok);
        change(record, body);
        record.body = SerializeTemplateBody(body);
        EXPECT_TRUE(WriteBytes(dat, SerializeLayoutRecord(record)));
        QFile::remove(rendered);
        const CliResult composed = RunCli({"compose-task", "张三"}, base);
        EXPECT_EQ(composed.exitCode, 0) << Show(composed);
        return ReadBytes(rendered);
    };
    const QByteArray withPhoto = render([](LayoutRecord&, TemplateBody&) {});
    const QByteArray emptySlot =
        render([](LayoutRecord& record, TemplateBody&) { record.photos.clear(); });
    ASSERT_FALSE(withPhoto.isEmpty());
    ASSERT_FALSE(emptySlot.isEmpty());
    ASSERT_NE(withPhoto, emptySlot);

    const QByteArray hostiles[] = {ForgedProgressiveJpeg(15000, 16000, 200),
                                   ForgedProgressiveJpeg(1000, 1000, 20000),
                                   FlatPng(15000, 16000, 1, 1)};
    for (const QByteArray& hostile : hostiles) {
        EXPECT_EQ(render([&](LayoutRecord& record, TemplateBody&) {
                      record.photos.first().bytes = hostile;
                  }),
                  emptySlot);
        EXPECT_EQ(render([&](LayoutRecord&, TemplateBody& body) { body.background = hostile; }),
                  QByteArray());
    }
}
