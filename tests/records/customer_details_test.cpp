#include "records/customer_details.h"

#include "common/base_dir.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "records_test_util.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
const QString kSaved = QStringLiteral("保存成功!");
const QString kRefused = QStringLiteral("硬盘空间已满足，或客人姓名有非法字符!");

QList<OrderLine> TwoProducts() {
    return {{QStringLiteral("相册"), "25.4", "30", "1", "20"}, {"A3", "29.7", "42", "2", "1"}};
}

// Every entry under folder, relative, sorted.
QStringList Tree(const QString& folder) {
    QStringList names;
    QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        names.append(info.fileName());
        if (info.isDir()) {
            for (const QString& inner : Tree(info.filePath()))
                names.append(info.fileName() + "/" + inner);
        }
    }
    names.sort();
    return names;
}
} // namespace

TEST(CustomerDetails, NewTaskGetsItsFolderTaskFileAndOrder) {
    TestFolder dir;
    RecordingMessages messages;
    QString taskPath;
    ASSERT_TRUE(SaveCustomerDetails({QStringLiteral("  张三 "), " 138 0013 ", TwoProducts(), {}},
                                    messages, &taskPath));
    EXPECT_EQ(messages.informed, QStringList{kSaved});
    const QString folder = dir.file(QStringLiteral("套版缓存/张三"));
    EXPECT_EQ(taskPath, folder + "/1.tx");
    EXPECT_EQ(ReadBytes(folder + "/1.tx"), Field("138 0013", 100));
    EXPECT_EQ(ReadOrderLines(folder + QStringLiteral("/产品.ini")), TwoProducts());
    EXPECT_EQ(ReadTaskPhone(taskPath), "138 0013");
}

TEST(CustomerDetails, EmptyOrBlankNameIsRefused) {
    TestFolder dir;
    RecordingMessages messages;
    EXPECT_FALSE(SaveCustomerDetails({"", "1", {}, {}}, messages));
    EXPECT_FALSE(SaveCustomerDetails({QStringLiteral(" \t　"), "1", {}, {}}, messages));
    EXPECT_EQ(messages.informed, QStringList(2, QStringLiteral("客人姓名不能为空!")));
    EXPECT_TRUE(Tree(dir.path()).isEmpty());
}

TEST(CustomerDetails, ExistingNameIsRefusedForANewTaskEvenWithBlanksAround) {
    TestFolder dir;
    RecordingMessages messages;
    ASSERT_TRUE(SaveCustomerDetails({"Li", "1", TwoProducts(), {}}, messages));
    const QByteArray task = ReadBytes(dir.file("套版缓存/Li/1.tx"));
    messages.informed.clear();
    EXPECT_FALSE(SaveCustomerDetails({" Li  ", "2", {}, {}}, messages));
    EXPECT_EQ(messages.informed,
              QStringList{QStringLiteral("已存在此客人姓名的任务，请修改客人姓名!")});
    EXPECT_EQ(ReadBytes(dir.file("套版缓存/Li/1.tx")), task);
    EXPECT_EQ(ReadOrderLines(dir.file("套版缓存/Li/产品.ini")), TwoProducts());
}

TEST(CustomerDetails, NamesThatWouldEscapeOrBreakTheTaskStoreAreRefused) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(TaskStoreFolder()));
    const QStringList names{"a/b", "../x",  "..",    ".",    "a\\b",
                            "<x>", "a:b",   "a\"b",  "a|b",  "a?",
                            "a*b", "a\x01", "a\x7F", "x\ny", QString::fromUtf8("\xF0\x9F\x93\xB7")};
    for (const QString& name : names) {
        RecordingMessages messages;
        EXPECT_FALSE(SaveCustomerDetails({name, "1", TwoProducts(), {}}, messages))
            << name.toStdString();
        EXPECT_EQ(messages.informed, QStringList{kRefused}) << name.toStdString();
    }
    EXPECT_EQ(Tree(dir.path()), QStringList{QStringLiteral("套版缓存")});
}

TEST(CustomerDetails, FolderThatCannotBeMadeIsReported) {
    TestFolder dir;
    // The task store is a file, so no customer folder can be made in it.
    ASSERT_TRUE(WriteBytes(TaskStoreFolder(), "x"));
    RecordingMessages messages;
    EXPECT_FALSE(SaveCustomerDetails({"Wang", "1", {}, {}}, messages));
    EXPECT_EQ(messages.informed, QStringList{kRefused});
    EXPECT_EQ(ReadBytes(TaskStoreFolder()), "x");
}

TEST(CustomerDetails, EditingRewritesOnlyTheOrder) {
    TestFolder dir;
    RecordingMessages messages;
    QString taskPath;
    ASSERT_TRUE(SaveCustomerDetails({"Zhao", "555", TwoProducts(), {}}, messages, &taskPath));
    // The task has pages by now.
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    task.pages.push_back(std::make_unique<TaskPage>());
    task.pages.back()->SetName(QStringLiteral("相册"));
    task.pages.back()->width = 2540;
    ASSERT_TRUE(task.Save());
    const QByteArray taskBytes = ReadBytes(taskPath);

    messages.informed.clear();
    const QList<OrderLine> changed{{"A4", "21", "29.7", "5", "2"}};
    // The name and phone of an existing task are not changed here.
    ASSERT_TRUE(SaveCustomerDetails({"Zhao", "999", changed, taskPath}, messages));
    EXPECT_EQ(messages.informed, QStringList{kSaved});
    EXPECT_EQ(ReadBytes(taskPath), taskBytes);
    EXPECT_EQ(ReadOrderLines(OrderLinesPathForTask(taskPath)), changed);
}

TEST(CustomerDetails, FailedOrderWriteIsReportedNotCalledSaved) {
    TestFolder dir;
    RecordingMessages messages;
    QString taskPath;
    ASSERT_TRUE(SaveCustomerDetails({"Sun", "1", TwoProducts(), {}}, messages, &taskPath));
    const QString orderPath = OrderLinesPathForTask(taskPath);
    // Replace the order file with a folder: no file can take its place.
    ASSERT_TRUE(QFile::remove(orderPath));
    ASSERT_TRUE(QDir().mkdir(orderPath));
    messages.informed.clear();
    EXPECT_FALSE(SaveCustomerDetails({"Sun", "1", {}, taskPath}, messages));
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("保存失败!")});
}

TEST(CustomerDetails, PreviewCacheNameIsAnOrdinaryNewTaskWhileFree) {
    TestFolder dir;
    RecordingMessages messages;
    ASSERT_TRUE(SaveCustomerDetails({QString::fromUtf8(kPreviewCacheName), "", {}, {}}, messages));
    EXPECT_EQ(ReadBytes(PreviewCacheTaskPath()), QByteArray(100, '\0'));
}

TEST(WorkspacePaths, FollowTheBaseFolderEvenWithBlanksAndChineseInIt) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.file("工作 室")));
    SetBaseDir(dir.file("工作 室"));
    const QString base = dir.file("工作 室");
    EXPECT_EQ(SettingsFolder(), base + QStringLiteral("/设置"));
    EXPECT_EQ(CataloguePath(), base + QStringLiteral("/设置/产品.ini"));
    EXPECT_EQ(TemplateFolder(), base + QStringLiteral("/模板"));
    EXPECT_EQ(SampleFolder(), base + QStringLiteral("/样片"));
    EXPECT_EQ(TaskStoreFolder(), base + QStringLiteral("/套版缓存"));
    EXPECT_EQ(PreviewCacheTaskPath(), base + QStringLiteral("/套版缓存/预览缓存/1.tx"));
    const QString folder = CustomerFolder(QStringLiteral("李四"));
    EXPECT_EQ(folder, base + QStringLiteral("/套版缓存/李四"));
    EXPECT_EQ(TaskFilePath(folder), folder + "/1.tx");
    EXPECT_EQ(OrderLinesPath(folder), folder + QStringLiteral("/产品.ini"));
    EXPECT_EQ(StatusFilePath(folder), folder + "/status.txt");
    EXPECT_EQ(PageImagePath(folder, "p", ".jpg"), folder + "/p.jpg");
    EXPECT_EQ(BigPageImagePath(folder, "p", ".png"), folder + "/bigp.png");
    EXPECT_EQ(PageDataFolder(folder, "p"), folder + "/datap");
    // Only the file name at the end is replaced, not a "1.tx" inside the name.
    EXPECT_EQ(OrderLinesPathForTask(base + "/x1.tx/1.tx"),
              base + QStringLiteral("/x1.tx/产品.ini"));

    RecordingMessages messages;
    ASSERT_TRUE(SaveCustomerDetails({"x1.tx", "", TwoProducts(), {}}, messages));
    EXPECT_EQ(ReadOrderLines(base + QStringLiteral("/套版缓存/x1.tx/产品.ini")), TwoProducts());
}
