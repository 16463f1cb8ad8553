#include "production/export_pages.h"

#include "common/messages.h"
#include "listed_page.h"
#include "production/order_check.h"
#include "records/customer_task.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class ExportPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        customerFolder = CustomerFolder("客人甲");
        QDir().mkpath(customerFolder);
        destination = base.file("输出目录");
        QDir().mkpath(destination);
    }

    void Order(const QStringList& products) {
        QList<OrderLine> lines;
        for (const QString& p : products)
            lines.append(OrderLine{p, "20", "30", "1", "10"});
        ASSERT_TRUE(WriteOrderLines(OrderLinesPath(customerFolder), lines));
    }
    // A page of the task, listed in its "1.tx".
    void Listed(const QString& page) { ASSERT_TRUE(ListPageInTask(customerFolder, page)); }
    // A page of the task with its rendered image, whose bytes say which page it is.
    void Rendered(const QString& page) {
        Listed(page);
        ASSERT_TRUE(WriteBytes(BigPageImagePath(customerFolder, page, ".jpg"), page.toUtf8()));
    }
    ExportResult Export(const QString& status = "2/3", const QString& chosen = {}) {
        choosePrompted = false;
        return ExportCustomer(
            "客人甲", status,
            [&] {
                choosePrompted = true;
                return chosen.isEmpty() ? destination : chosen;
            },
            messages, [&](const QString& folder) { opened.append(folder); });
    }
    QStringList Exported(const QString& product) {
        QStringList names = QDir(destination + "/客人甲/" + product).entryList(QDir::Files);
        names.sort();
        return names;
    }

    TestFolder base;
    QString customerFolder;
    QString destination;
    RecordingMessages messages;
    QStringList opened;
    bool choosePrompted = false;
};

TEST_F(ExportPagesTest, TheTasksPagesAreNumberedWithoutGapsAndAProductWithoutPagesGetsNoFolder) {
    Order({"A", "B"});
    Rendered("A");
    Rendered("A-2");
    Rendered("A-4"); // "A-3" was deleted: the album goes on without a gap
    Rendered("AB");  // a page of another product
    EXPECT_EQ(Export(), ExportResult::Done);
    EXPECT_EQ(Exported("A"), (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/1.jpg"), QByteArray("A"));
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/2.jpg"), QByteArray("A-2"));
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/3.jpg"), QByteArray("A-4"));
    EXPECT_FALSE(QFileInfo::exists(destination + "/客人甲/B"));
    EXPECT_EQ(messages.informed, QStringList{"导出成功!"});
    EXPECT_EQ(opened, QStringList{destination + "/客人甲"});
}

TEST_F(ExportPagesTest, APageOfTheTaskThatIsNotRenderedFailsTheExportByName) {
    Order({"A"});
    Rendered("A");
    Listed("A-2");
    Rendered("A-3");
    // An image without its page in the task is no page of the album.
    ASSERT_TRUE(WriteBytes(BigPageImagePath(customerFolder, "A-4", ".jpg"), "orphan"));
    EXPECT_EQ(Export(), ExportResult::Failed);
    EXPECT_EQ(messages.informed, QStringList{"导出失败, 页面未套版: A-2!"});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(Exported("A"), (QStringList{"1.jpg", "2.jpg"}));
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/2.jpg"), QByteArray("A-3"));
}

TEST_F(ExportPagesTest, ExportingTwiceOverwritesTheFirstExport) {
    Order({"A"});
    Rendered("A");
    ASSERT_EQ(Export(), ExportResult::Done);
    ASSERT_TRUE(WriteBytes(BigPageImagePath(customerFolder, "A", ".jpg"), "rendered again"));
    EXPECT_EQ(Export(), ExportResult::Done);
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/1.jpg"), QByteArray("rendered again"));
    EXPECT_EQ(Exported("A"), QStringList{"1.jpg"});
}

TEST_F(ExportPagesTest, AProductOrderedTwiceLandsInOneFolderWithTheSameNumbers) {
    Order({"A", "B", "A"});
    Rendered("A");
    Rendered("A-2");
    Rendered("B");
    EXPECT_EQ(Export(), ExportResult::Done);
    EXPECT_EQ(Exported("A"), (QStringList{"1.jpg", "2.jpg"}));
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/2.jpg"), QByteArray("A-2"));
    EXPECT_EQ(Exported("B"), QStringList{"1.jpg"});
}

TEST_F(ExportPagesTest, StatusZeroRefusesEvenWithRenderedPages) {
    Order({"A"});
    Rendered("A");
    EXPECT_EQ(Export("0"), ExportResult::NotComposed);
    EXPECT_EQ(messages.informed, QStringList{"此客人未套版!"});
    EXPECT_FALSE(choosePrompted);
    EXPECT_FALSE(QFileInfo::exists(destination + "/客人甲"));
    // The status counts by its leading number, as "2/3" reads as 2.
    messages.informed.clear();
    EXPECT_EQ(Export("0/3"), ExportResult::NotComposed);
    EXPECT_EQ(Export("1/3"), ExportResult::Done);
}

TEST_F(ExportPagesTest, NeverMoreThanAHundredPagesOfAProductAndTheRestIsNamed) {
    Order({"A", "B"});
    Rendered("A");
    for (int j = 2; j <= 101; ++j)
        Rendered(QString("A-%1").arg(j));
    Rendered("B");
    EXPECT_EQ(Export(), ExportResult::Incomplete);
    const QStringList files = Exported("A");
    EXPECT_EQ(files.size(), 100);
    EXPECT_TRUE(files.contains("100.jpg"));
    EXPECT_FALSE(files.contains("101.jpg"));
    EXPECT_EQ(Exported("B"), QStringList{"1.jpg"});
    EXPECT_EQ(messages.informed,
              QStringList{"导出不完整, 每个产品最多导出 100 页, 未导出: A 的 1 页!"});
    EXPECT_TRUE(opened.isEmpty());
    // The order check says so before any export.
    const OrderCheckReport report = CheckOrder("客人甲", 254, {}, QSize(1000, 750));
    QStringList beyond;
    for (const OrderFinding& f : report.findings)
        if (f.kind == OrderFinding::Kind::BeyondExport)
            beyond << f.message;
    EXPECT_EQ(beyond, QStringList{"A: 已设计 101 P, 超出 100 P 的 1 P 不会导出"});
    EXPECT_EQ(FindingKindName(OrderFinding::Kind::BeyondExport), "beyond_export");
}

TEST_F(ExportPagesTest, NoSelectionAndCancelledFolder) {
    EXPECT_EQ(ExportCustomer(
                  {}, "1/1", [] { return QString("/tmp"); }, messages),
              ExportResult::NoSelection);
    EXPECT_EQ(messages.informed, QStringList{"请先选中要输出的客人!"});
    messages.informed.clear();
    Order({"A"});
    Rendered("A");
    EXPECT_EQ(ExportCustomer(
                  "客人甲", "1/1", [] { return QString(); }, messages),
              ExportResult::Cancelled);
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(destination + "/客人甲"));
}

TEST_F(ExportPagesTest, TrailingSeparatorsOfTheChosenFolderAreDropped) {
    Order({"A"});
    Rendered("A");
    EXPECT_EQ(Export("1/1", destination + "///"), ExportResult::Done);
    EXPECT_EQ(opened, QStringList{destination + "/客人甲"});
    EXPECT_EQ(Exported("A"), QStringList{"1.jpg"});
}

TEST_F(ExportPagesTest, WithoutOrderLinesTheExportIsEmptyButDone) {
    Rendered("A");
    EXPECT_EQ(Export(), ExportResult::Done);
    EXPECT_TRUE(QDir(destination + "/客人甲").exists());
    EXPECT_TRUE(
        QDir(destination + "/客人甲").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(ExportPagesTest, ADestinationThatCannotBeWrittenIsReportedNotCalledASuccess) {
    Order({"A"});
    Rendered("A");
    // The customer's folder name in the destination is taken by a file.
    ASSERT_TRUE(WriteBytes(destination + "/客人甲", "a file"));
    EXPECT_EQ(Export(), ExportResult::Failed);
    EXPECT_EQ(messages.informed, QStringList{QString::fromUtf8(kExportFailedMessage)});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(ReadBytes(destination + "/客人甲"), QByteArray("a file"));
}

TEST_F(ExportPagesTest, AnExistingPageIsReplacedWholeOrNotAtAll) {
    Order({"A"});
    Rendered("A");
    ASSERT_EQ(Export(), ExportResult::Done);
    // A page that cannot be read leaves the earlier export's file as it was.
    const QString source = BigPageImagePath(customerFolder, "A", ".jpg");
    EXPECT_FALSE(CopyFileAtomic(source + ".missing", destination + "/客人甲/A/1.jpg"));
    EXPECT_EQ(ReadBytes(destination + "/客人甲/A/1.jpg"), QByteArray("A"));
    EXPECT_EQ(QDir(destination + "/客人甲/A").entryList(QDir::Files | QDir::Hidden),
              QStringList{"1.jpg"});
}

TEST_F(ExportPagesTest, AProductNameThatIsAPathIsLeftOut) {
    Order({"../../逃出", "A"});
    Rendered("A");
    QDir().mkpath(customerFolder + "/big..");
    ASSERT_TRUE(WriteBytes(customerFolder + "/big../../逃出.jpg", "outside"));
    EXPECT_EQ(Export(), ExportResult::Done);
    EXPECT_FALSE(QFileInfo::exists(destination + "/逃出"));
    EXPECT_FALSE(QFileInfo::exists(base.file("逃出")));
    EXPECT_EQ(Exported("A"), QStringList{"1.jpg"});
}

} // namespace
