// taoban-cli auto-pages: album drafts drawn from a library in which only
// some pages suit the product.

#include "cli_runner.h"
#include "cli_studio.h"
#include "common/text_file.h"
#include "compose/template_body.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// The JSON report is the last line; the system's messages come before it.
QJsonArray PagesOf(const CliResult& r) {
    return QJsonDocument::fromJson(r.OutLines().value(r.OutLines().size() - 1).toUtf8())
        .object()["pages"]
        .toArray();
}

QStringList Strings(const QJsonValue& array) {
    QStringList out;
    for (const QJsonValue& v : array.toArray())
        out.append(v.toString());
    return out;
}

struct SetSpec {
    QString folder; // relative, "/"
    double w, h;    // cm
    int slotCount;
};

// Sets for a 30 x 40 cm album: only the four-slot pages of about 30 x 40 fit
// it; the squares and the 40 x 30 page fail the proportion, the 15 x 20
// pages the size.
const SetSpec kSets[] = {
    {"婚纱/合/甲", 30, 40, 4}, {"婚纱/合/乙", 30, 40, 4}, {"婚纱/合/丙", 32, 42, 4},
    {"婚纱/合/丁", 30, 40, 4}, {"写真/方/甲", 30, 30, 3}, {"写真/方/乙", 30, 30, 3},
    {"写真/方/丙", 40, 40, 3}, {"儿童/小/甲", 15, 20, 1}, {"儿童/小/乙", 15, 20, 2},
    {"儿童/小/丙", 15, 20, 3}, {"儿童/小/丁", 15, 20, 4}, {"全家福/宽/甲", 40, 30, 2},
};

class AutoPagesCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        QStringList index;
        for (const SetSpec& set : kSets) {
            AddPage(set.folder + "/1.temp", set.w, set.h, set.slotCount);
            // Second pages have no index entry, so no draw takes them.
            AddPage(set.folder + "/2.temp", set.w, set.h, 1);
            index.append(QStringLiteral("<i><p>%1\\1.temp</p><n>%2</n><w>%3</w><h>%4</h>"
                                        "<f>%5</f></i>")
                             .arg(QString(set.folder).replace('/', '\\'))
                             .arg(set.slotCount)
                             .arg(set.w)
                             .arg(set.h)
                             .arg(set.h / set.w, 0, 'f', 4));
        }
        WriteIndex(index, 110);
        ASSERT_EQ(Cli({"catalogue", "add", "相册", "30", "40"}).exitCode, 0);
        ASSERT_EQ(Cli({"catalogue", "add", "摆台", "30", "30"}).exitCode, 0);
    }

    CliResult Cli(const QStringList& args) { return RunCli(args, dir.path()); }

    void AddPage(const QString& relative, double wCm, double hCm, int slotCount) {
        TemplateBody body;
        body.preview = EncodeImage(QuadrantImage(40, 30), "JPEG");
        body.width = qRound(wCm * 100);
        body.height = qRound(hCm * 100);
        QImage background(80, 60, QImage::Format_RGB32);
        background.fill(QColor(230, 220, 200));
        body.background = EncodeImage(background, "PNG");
        for (int i = 0; i < slotCount; ++i)
            body.rects.append(TemplateRect{20 + 240 * i, 50, 230 + 240 * i, 700});
        const QString path = dir.file("模板/" + relative);
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(WriteBytes(path, SerializeTemplateBody(body)));
    }
    // The entries, then entries of sets elsewhere up to count.
    void WriteIndex(QStringList entries, int count) {
        for (int i = entries.size(); i < count; ++i)
            entries.append(QStringLiteral("<i><p>别处\\组\\%1\\1.temp</p><n>2</n><w>30</w><h>40</h>"
                                          "<f>1.3333</f></i>")
                               .arg(i));
        ASSERT_TRUE(WriteGbkLines(dir.file("模板/list2.txt"), entries));
    }
    QString Photos(const QString& folder, int count) {
        const QString path = dir.file(folder);
        QDir().mkpath(path);
        for (int i = 1; i <= count; ++i)
            WriteBytes(path + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                       EncodeImage(QuadrantImage(90 + i, 60), "JPEG"));
        return path;
    }
    CliResult AutoPages(const QString& customer, const QString& product, int pages,
                        const QString& photos, const QString& seed) {
        return Cli({"auto-pages", customer, "--product", product, "--pages", QString::number(pages),
                    "--photos", photos, "--seed", seed, "--canvas", "1000x750"});
    }

    TestFolder dir;
};

TEST_F(AutoPagesCliTest, EveryPhotoOnceBeforeAnyRepeatsOnTemplatesOfTheProduct) {
    ASSERT_EQ(Cli({"new-customer", "甲", "--product", "相册"}).exitCode, 0);
    const QString photos = Photos("客片", 12);
    const CliResult r = AutoPages("甲", "相册", 5, photos, "7");
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    const QJsonArray pages = PagesOf(r);
    ASSERT_EQ(pages.size(), 5) << Show(r);

    QStringList placed;
    QStringList names;
    for (const QJsonValue& value : pages) {
        const QJsonObject page = value.toObject();
        names.append(page["page"].toString());
        // Only the 30 x 40 (and 32 x 42) pages pass the proportion and size.
        const QString relative =
            QDir(dir.file("模板")).relativeFilePath(page["template"].toString());
        EXPECT_TRUE(relative.startsWith("婚纱/合/") && relative.endsWith("/1.temp"))
            << relative.toStdString();
        const QStringList inSlots = Strings(page["photos"]);
        EXPECT_EQ(inSlots.size(), 4);
        EXPECT_EQ(QSet<QString>(inSlots.begin(), inSlots.end()).size(), inSlots.size())
            << "no photo twice on a page";
        placed += inSlots;
    }
    EXPECT_EQ(names, QStringList({"相册", "相册-2", "相册-3", "相册-4", "相册-5"}));
    ASSERT_EQ(placed.size(), 20);
    const QStringList firstRound = placed.mid(0, 12);
    EXPECT_EQ(QSet<QString>(firstRound.begin(), firstRound.end()).size(), 12)
        << placed.join(' ').toStdString();
    // The second round goes on without taking a photo of page 4 again.
    const QStringList page4 = placed.mid(12, 4), page5 = placed.mid(16, 4);
    EXPECT_FALSE(QSet<QString>(page4.begin(), page4.end())
                     .intersects(QSet<QString>(page5.begin(), page5.end())));

    // The pages are saved as finished pages with those photos.
    const QJsonObject task =
        QJsonDocument::fromJson(Cli({"task-info", CustomerFolder("甲")}).out.toUtf8()).object();
    const QJsonArray saved = task["pages"].toArray();
    ASSERT_EQ(saved.size(), 5);
    EXPECT_EQ(saved[2].toObject()["slots"].toArray()[1].toObject()["photo_name"].toString(),
              placed[9]);
}

TEST_F(AutoPagesCliTest, TheSameSeedMakesTheSameAlbum) {
    const QString photos = Photos("客片", 12);
    for (const char* customer : {"丙", "丁", "戊"})
        ASSERT_EQ(Cli({"new-customer", customer, "--phone", "1", "--product", "相册"}).exitCode, 0);
    ASSERT_EQ(AutoPages("丙", "相册", 4, photos, "42").exitCode, 0);
    ASSERT_EQ(AutoPages("丁", "相册", 4, photos, "42").exitCode, 0);
    ASSERT_EQ(AutoPages("戊", "相册", 4, photos, "43").exitCode, 0);
    const QByteArray first = ReadBytes(TaskFilePath(CustomerFolder("丙")));
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(ReadBytes(TaskFilePath(CustomerFolder("丁"))), first);
    EXPECT_NE(ReadBytes(TaskFilePath(CustomerFolder("戊"))), first);
}

TEST_F(AutoPagesCliTest, RefusesWhatItCannotDo) {
    ASSERT_EQ(Cli({"new-customer", "己", "--product", "相册"}).exitCode, 0);
    const QString photos = Photos("客片", 3);
    QDir().mkpath(dir.file("空"));
    struct Case {
        QStringList args;
        int exit;
    } cases[] = {
        {{"己", "--product", "相册", "--photos", photos}, 2},                 // no --pages
        {{"己", "--product", "摆台", "--pages", "1", "--photos", photos}, 2}, // not ordered
        {{"己", "--product", "相册", "--pages", "1", "--photos", dir.file("空")}, 2},
        {{"己", "--product", "相册", "--pages", "1", "--photos", photos, "--seed", "x"}, 2},
    };
    for (const Case& c : cases) {
        const CliResult r = Cli(QStringList{"auto-pages"} + c.args);
        EXPECT_EQ(r.exitCode, c.exit) << c.args.join(' ').toStdString() << "\n" << Show(r);
    }
    auto pageCount = [] {
        CustomerTask task;
        return task.Load(TaskFilePath(CustomerFolder("己"))) ? task.PageCount() : 0;
    };
    EXPECT_EQ(pageCount(), 0);

    // Too small an index: the system's message, and no page.
    QStringList few;
    WriteIndex(few, 99);
    const CliResult r = AutoPages("己", "相册", 2, photos, "1");
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_EQ(r.OutLines().value(0), "模板太少，请先在模板管理中下载更多模板。");
    EXPECT_TRUE(PagesOf(r).isEmpty());
    EXPECT_EQ(pageCount(), 0);
}

} // namespace
