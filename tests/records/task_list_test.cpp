#include "records/task_list.h"

#include "common/messages.h"
#include "records/workspace_paths.h"
#include "records_test_util.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

constexpr int kPageBytes = 3628;

// A task file: the phone block, then `bytes` more bytes of page records.
QString MakeTask(const QString& folder, const QString& phone = {}, int pageBytes = 0) {
    EXPECT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/1.tx";
    EXPECT_TRUE(WriteBytes(path, Field(phone, 100) + QByteArray(pageBytes, '\x01')));
    return path;
}

void SetDate(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

QStringList Column(const QList<QStringList>& rows, int column) {
    QStringList texts;
    for (const QStringList& row : rows)
        texts.append(row.value(column));
    return texts;
}

} // namespace

TEST(TaskList, RowHoldsNamePhonePagesOutputDateAndPath) {
    TestFolder base;
    const QString folder = CustomerFolder(QStringLiteral("张三"));
    const QString path = MakeTask(folder, "13800000000", 3 * kPageBytes);
    ASSERT_TRUE(WriteBytes(folder + "/status.txt", "<s>2/3</s>"));
    SetDate(path, QDateTime(QDate(2016, 3, 1), QTime(10, 20, 30)));

    const QStringList row = TaskListRow(path);
    EXPECT_EQ(row, (QStringList{QStringLiteral("张三"), "13800000000", "3", "2/3",
                                "2016-03-01 10:20:30", "", path}));
}

TEST(TaskList, PageCountsFromTheFileSize) {
    struct Case {
        qint64 bytes;
        int pages;
    };
    for (const Case c :
         {Case{0, 0}, Case{50, 0}, Case{100, 0}, Case{101, 1}, Case{100 + kPageBytes, 1},
          Case{100 + 3 * kPageBytes, 3}, Case{100 + 2 * kPageBytes + 1, 3}})
        EXPECT_EQ(TaskPageCountForSize(c.bytes), c.pages) << c.bytes;
}

TEST(TaskList, NeverComposedShowsZeroAndUnreadableTaskKeepsItsRow) {
    TestFolder base;
    const QString path = MakeTask(CustomerFolder("a"));
    EXPECT_EQ(TaskListRow(path).mid(1, 3), (QStringList{"", "0", "0"}));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the file should be
    const QStringList row = TaskListRow(path);
    EXPECT_EQ(row[kTaskPhoneColumn], "");
    EXPECT_EQ(row[kTaskPagesColumn], "");
    EXPECT_EQ(row[kTaskOutputColumn], "0");
}

TEST(TaskList, NewestFirstWithDeeperTasksAndWithoutThePreviewCache) {
    TestFolder base;
    const QString store = TaskStoreFolder();
    const QString old = MakeTask(store + "/old");
    const QString deeper = MakeTask(store + "/parent/sub");
    const QString fresh = MakeTask(store + "/fresh");
    MakeTask(PreviewCacheFolder());
    MakeTask(store + QStringLiteral("/x/预览缓存旧/deep"));
    ASSERT_TRUE(WriteBytes(store + "/parent/status.txt", "<s>1/1</s>"));
    SetDate(old, QDateTime(QDate(2015, 1, 1), QTime(8, 0)));
    SetDate(deeper, QDateTime(QDate(2016, 1, 1), QTime(8, 0)));
    SetDate(fresh, QDateTime(QDate(2017, 1, 1), QTime(8, 0)));

    RecordingMessages messages;
    const QList<QStringList> rows = LoadTaskList(store, messages);
    EXPECT_EQ(Column(rows, kTaskOrderColumn), (QStringList{"fresh", "sub", "old"}));
    EXPECT_EQ(Column(rows, kTaskPathColumn), (QStringList{fresh, deeper, old}));
    // The deeper task's own folder has no status file: not its parent's.
    EXPECT_EQ(rows[1][kTaskOutputColumn], "0");
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST(TaskList, StoreUnderAPreviewCacheNameListsNothing) {
    TestFolder base;
    const QString store = base.file(QStringLiteral("预览缓存/套版缓存"));
    MakeTask(store + "/a");
    RecordingMessages messages;
    EXPECT_TRUE(LoadTaskList(store, messages).isEmpty());
}

TEST(TaskList, AtMostAHundredRowsAndOneNotice) {
    for (const int customers : {100, 150}) {
        TestFolder base;
        for (int i = 0; i < customers; ++i)
            MakeTask(CustomerFolder(QString::number(i)));
        RecordingMessages messages;
        const QList<QStringList> rows = LoadTaskList(TaskStoreFolder(), messages);
        EXPECT_EQ(rows.size(), 100);
        const QStringList expected = customers > 100
                                         ? QStringList{QString::fromUtf8(kTaskListTruncatedMessage)}
                                         : QStringList{};
        EXPECT_EQ(messages.informed, expected) << customers;
        // Every row is a different customer's task.
        QStringList names = Column(rows, kTaskOrderColumn);
        names.removeDuplicates();
        EXPECT_EQ(names.size(), 100);
    }
}

TEST(TaskList, DeletingRemovesOnlyWhatTheRowStandsFor) {
    TestFolder base;
    const QString store = TaskStoreFolder();
    const QString a = MakeTask(store + "/a", {}, kPageBytes);
    ASSERT_TRUE(QDir().mkpath(store + "/a/dataP"));
    ASSERT_TRUE(WriteBytes(store + "/a/dataP/dat", "x"));
    const QString deeper = MakeTask(store + "/b/sub");
    MakeTask(store + "/sub");              // same name as the deeper task's folder
    const QString stray = MakeTask(store); // a task file lying in the store itself

    EXPECT_TRUE(DeleteTaskEntry(store, a));
    EXPECT_FALSE(QFileInfo::exists(store + "/a"));
    EXPECT_TRUE(DeleteTaskEntry(store, deeper));
    EXPECT_FALSE(QFileInfo::exists(store + "/b/sub"));
    EXPECT_TRUE(QFileInfo::exists(store + "/b"));
    EXPECT_TRUE(QFileInfo::exists(store + "/sub/1.tx"));
    EXPECT_TRUE(DeleteTaskEntry(store, stray));
    EXPECT_FALSE(QFileInfo::exists(stray));
    EXPECT_TRUE(QFileInfo::exists(store + "/sub/1.tx"));
    // Nothing outside the store is touched.
    const QString outside = MakeTask(base.file("elsewhere"));
    EXPECT_FALSE(DeleteTaskEntry(store, outside));
    EXPECT_TRUE(QFileInfo::exists(outside));
}

TEST(TaskList, LinkedCustomerFolderLosesOnlyItsLink) {
    TestFolder base;
    const QString store = TaskStoreFolder();
    const QString target = base.file("archive/c");
    MakeTask(target);
    ASSERT_TRUE(QDir().mkpath(store));
    ASSERT_TRUE(QFile::link(target, store + "/c"));
    EXPECT_TRUE(DeleteTaskEntry(store, store + "/c/1.tx"));
    EXPECT_FALSE(QFileInfo(store + "/c").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target + "/1.tx"));
}
