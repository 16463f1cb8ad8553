// The order check before the lab, and the manifest the export writes for it.

#include "production/order_check.h"

#include "common/messages.h"
#include "order_fixture.h"
#include "production/export_manifest.h"
#include "production/export_pages.h"
#include "records/dpi_setting.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using Kind = OrderFinding::Kind;

OrderCheckReport Check() {
    return CheckOrder(ProblemOrder::kCustomer, CurrentDpi(), ResolutionThreshold{},
                      QSize(1000, 750));
}

} // namespace

TEST(OrderCheck, FindsEachProblemOnItsPageAndSlotAndNothingOnceFixed) {
    TestFolder base;
    ProblemOrder order;
    const OrderCheckReport report = Check();
    struct Expected {
        Kind kind;
        const char* page;
        int slot;
    };
    const Expected expected[] = {
        {Kind::PageCount, "C", -1}, {Kind::Resolution, "A", 0},     {Kind::LayoutRecord, "A-2", -1},
        {Kind::Size, "B", -1},      {Kind::NotRendered, "B-2", -1}, {Kind::Stale, "B-3", -1},
    };
    ASSERT_EQ(report.findings.size(), std::size(expected));
    for (const Expected& e : expected) {
        SCOPED_TRACE(FindingKindName(e.kind).toStdString());
        const auto found = std::find_if(report.findings.begin(), report.findings.end(),
                                        [&](const OrderFinding& f) { return f.kind == e.kind; });
        ASSERT_NE(found, report.findings.end());
        EXPECT_EQ(found->page, QString(e.page));
        EXPECT_EQ(found->slot, e.slot);
        EXPECT_TRUE(found->message.startsWith(QString(e.page))) << found->message.toStdString();
        EXPECT_EQ(found->ppi.has_value(), e.kind == Kind::Resolution);
    }
    const auto soft = std::find_if(report.findings.begin(), report.findings.end(),
                                   [](const OrderFinding& f) { return f.ppi.has_value(); });
    EXPECT_NEAR(*soft->ppi, ProblemOrder::kSoftPpi, 0.5);
    EXPECT_FALSE(report.ok());

    order.Fix();
    const OrderCheckReport fixed = Check();
    for (const OrderFinding& f : fixed.findings)
        ADD_FAILURE() << f.message.toStdString();
    EXPECT_TRUE(fixed.ok());
}

TEST(ExportManifest, OneRowPerExportedFileWithItsSizeAndTheOrdersCounts) {
    TestFolder base;
    ProblemOrder order;
    order.Fix();
    const QString destination = base.file("lab");
    RecordingMessages messages;
    ExportManifest manifest;
    ASSERT_EQ(ExportCustomer(
                  ProblemOrder::kCustomer, "6/6", [&] { return destination; }, messages, {}, {},
                  &manifest),
              ExportResult::Done);
    const QString folder = destination + "/" + ProblemOrder::kCustomer;
    const QStringList lines =
        QString::fromUtf8(ReadBytes(folder + "/manifest.csv")).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{
                         "product,file,width_px,height_px,dpi,width_cm,height_cm,quantity,pages",
                         "A,A/1.jpg,600,400,254,6.00,4.00,5,2",
                         "A,A/2.jpg,600,400,254,6.00,4.00,5,2",
                         "B,B/1.jpg,400,400,254,4.00,4.00,1,3",
                         "B,B/2.jpg,400,400,254,4.00,4.00,1,3",
                         "B,B/3.jpg,400,400,254,4.00,4.00,1,3",
                         "C,C/1.jpg,200,200,254,2.00,2.00,2,1",
                     }));
    // Every row is a file of the export, and every exported page has its row.
    QStringList exported;
    for (const QString& product : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& file : QDir(folder + "/" + product).entryList(QDir::Files))
            exported << product + "/" + file;
    EXPECT_EQ(exported.size(), lines.size() - 1);
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(exported.contains(line.section(',', 1, 1))) << line.toStdString();

    // Without the option the export writes no manifest.
    QDir(folder).removeRecursively();
    ASSERT_EQ(ExportCustomer(
                  ProblemOrder::kCustomer, "6/6", [&] { return destination; }, messages),
              ExportResult::Done);
    EXPECT_FALSE(QFileInfo::exists(folder + "/manifest.csv"));
}
