// check CUSTOMER and export --manifest on the command line.

#include "cli_runner.h"
#include "listed_page.h"
#include "order_fixture.h"
#include "test_support.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

TEST(PrintSafetyCli, CheckPrintsEveryFindingAndExitsOneUntilTheOrderIsClean) {
    TestFolder base;
    ProblemOrder order;
    const CliResult problems = RunCli({"check", ProblemOrder::kCustomer}, base.path());
    EXPECT_EQ(problems.exitCode, 1) << problems.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(problems.out.toUtf8()).object();
    EXPECT_EQ(report.keys(), (QStringList{"customer", "findings", "ok"}));
    EXPECT_EQ(report["customer"].toString(), QString(ProblemOrder::kCustomer));
    EXPECT_FALSE(report["ok"].toBool(true));
    const QJsonArray findings = report["findings"].toArray();
    ASSERT_EQ(findings.size(), 6);
    for (const QJsonValue& value : findings) {
        const QJsonObject f = value.toObject();
        EXPECT_EQ(f.keys(), (QStringList{"kind", "message", "page", "ppi", "slot"}));
        const bool resolution = f["kind"].toString() == "resolution";
        EXPECT_EQ(f["ppi"].isDouble(), resolution);
        EXPECT_EQ(f["slot"].isNull(), !resolution);
        if (resolution) {
            EXPECT_EQ(f["page"].toString(), "A");
            EXPECT_EQ(f["slot"].toInt(), 1); // numbered as the canvas shows it
            EXPECT_NEAR(f["ppi"].toDouble(), ProblemOrder::kSoftPpi, 0.1);
        }
    }

    order.Fix();
    const CliResult clean = RunCli({"check", ProblemOrder::kCustomer}, base.path());
    EXPECT_EQ(clean.exitCode, 0) << clean.out.toStdString();
    const QJsonObject ok = QJsonDocument::fromJson(clean.out.toUtf8()).object();
    EXPECT_TRUE(ok["ok"].toBool());
    EXPECT_TRUE(ok["findings"].toArray().isEmpty());

    EXPECT_EQ(RunCli({"check", "无此客人"}, base.path()).exitCode, 2);
}

TEST(PrintSafetyCli, ExportWritesTheManifestOnlyWhenAsked) {
    TestFolder base;
    ProblemOrder order;
    order.Fix();
    // status.txt says how far compositing got; export refuses a customer without it.
    WriteBytes(order.folder() + "/status.txt", "<s>6/6</s>");
    const QString manifest = base.file("lab/") + ProblemOrder::kCustomer + "/manifest.csv";
    EXPECT_EQ(RunCli({"export", ProblemOrder::kCustomer, base.file("lab")}, base.path()).exitCode,
              0);
    EXPECT_FALSE(QFileInfo::exists(manifest));
    const CliResult run =
        RunCli({"export", ProblemOrder::kCustomer, base.file("lab"), "--manifest"}, base.path());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray csv = ReadBytes(manifest);
    EXPECT_TRUE(csv.startsWith("product,file,width_px,height_px,dpi,width_cm,height_cm,quantity,"
                               "pages\r\nA,A/1.jpg,600,400,254,6.00,4.00,5,2\r\n"));
    EXPECT_EQ(csv.count("\r\n"), 7);
}

TEST(PrintSafetyCli, PagesBeyondTheHundredthOfAProductAreReportedByCheckAndExport) {
    TestFolder base;
    ProblemOrder order;
    order.Fix();
    WriteBytes(order.folder() + "/status.txt", "<s>6/6</s>");
    const QByteArray image = ReadBytes(BigPageImagePath(order.folder(), "A", ".jpg"));
    for (int j = 3; j <= 101; ++j) {
        const QString page = QString("A-%1").arg(j);
        ASSERT_TRUE(ListPageInTask(order.folder(), page));
        ASSERT_TRUE(WriteBytes(BigPageImagePath(order.folder(), page, ".jpg"), image));
    }
    const CliResult check = RunCli({"check", ProblemOrder::kCustomer}, base.path());
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(check.out.contains("\"kind\": \"beyond_export\"")) << check.out.toStdString();
    const CliResult run =
        RunCli({"export", ProblemOrder::kCustomer, base.file("lab")}, base.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "导出不完整, 每个产品最多导出 100 页, 未导出: A 的 1 页!\n");
    EXPECT_TRUE(QFileInfo::exists(base.file("lab/") + ProblemOrder::kCustomer + "/A/100.jpg"));
}
