// A customer is named the same way in every command, and every command that
// takes photos refuses one that does not decode.

#include "cli_studio.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

TEST(CliConsistency, CustomerNamesWorkWhereverATaskIsTaken) {
    TestFolder dir;
    const QString base = dir.path();
    const QString templ = PackedTemplates(dir, 1).first();
    const QString photo = Photo(dir, "p.jpg", 300, 200);
    for (const QString& customer : {QStringLiteral("张三"), QStringLiteral("x.tx")}) {
        const CliResult added = RunCli({"add-page", "--customer", customer, "--template", templ,
                                        "--photo", photo, "--canvas", "400x300"},
                                       base);
        ASSERT_EQ(added.exitCode, 0) << Show(added);
        const CliResult info = RunCli({"task-info", customer}, base);
        ASSERT_EQ(info.exitCode, 0) << Show(info);
        EXPECT_EQ(QJsonDocument::fromJson(info.out.toUtf8()).object()["page_count"].toInt(), 1);
        const CliResult composed = RunCli({"compose-task", customer}, base);
        EXPECT_EQ(composed.exitCode, 0) << Show(composed);
        EXPECT_TRUE(QFileInfo::exists(CustomerFolder(customer) + "/big未知产品.jpg"));
    }
    // Blanks around the name are dropped, as new-customer drops them.
    const CliResult padded = RunCli(
        {"add-page", "--customer", "  张三  ", "--template", templ, "--canvas", "400x300"}, base);
    ASSERT_EQ(padded.exitCode, 0) << Show(padded);
    EXPECT_EQ(QJsonDocument::fromJson(padded.out.toUtf8()).object()["page"].toString(),
              "未知产品-2");
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("  张三  ")));
}

TEST(CliConsistency, AddPageRefusesAPhotoThatDoesNotDecodeAsPreviewDoes) {
    TestFolder dir;
    const QString templ = PackedTemplates(dir, 1).first();
    const QString broken = dir.file("broken.jpg");
    ASSERT_TRUE(WriteBytes(broken, QByteArray("\xff\xd8\xff\xe0 not a photo", 17)));
    for (const QStringList& run :
         {QStringList{"add-page", "--customer", "张三", "--template", templ, "--photo", broken},
          QStringList{"preview", templ, "--photo", broken, "-o", dir.file("out.jpg")}}) {
        const CliResult r = RunCli(run, dir.path());
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        EXPECT_TRUE(r.err.contains("broken.jpg")) << Show(r);
    }
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("张三") + "/1.tx"));
}

} // namespace
