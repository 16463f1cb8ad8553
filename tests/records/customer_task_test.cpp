#include "records/customer_task.h"

#include "records_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
// One page record in the file's own order: name, 20 slots, width, height.
// Each slot gets distinct values so a shifted or reordered read shows.
QByteArray PageRecord(const QString& name, int seed, int32_t width, int32_t height) {
    QByteArray rec = Field(name, 100);
    for (int s = 0; s < 20; ++s) {
        for (int field = 0; field < 19; ++field)
            rec += Le32(seed * 10000 + s * 100 + field);
        rec += Field(QStringLiteral("照片%1_%2.jpg").arg(seed).arg(s), 100);
    }
    rec += Le32(width);
    rec += Le32(height);
    return rec;
}

QByteArray TwoPageFile() {
    return Field(QStringLiteral("13800138000"), 100) +
           PageRecord(QStringLiteral("相册"), 1, 2362, 3543) +
           PageRecord(QStringLiteral("相册-2"), 2, 1968, 2500);
}
} // namespace

TEST(CustomerTask, NewTaskWithEmptyPhoneIsHundredZeroBytes) {
    TestFolder dir;
    CustomerTask task;
    task.SetPath(dir.file("1.tx"));
    ASSERT_TRUE(task.Save());
    EXPECT_EQ(ReadBytes(dir.file("1.tx")), QByteArray(100, '\0'));

    CustomerTask loaded;
    ASSERT_TRUE(loaded.Load(dir.file("1.tx")));
    EXPECT_TRUE(loaded.phone.isEmpty());
    EXPECT_EQ(loaded.PageCount(), 0);
}

TEST(CustomerTask, TwoPagesLoadInFileOrderAndSaveBackIdentical) {
    TestFolder dir;
    const QByteArray bytes = TwoPageFile();
    ASSERT_EQ(bytes.size(), 100 + 2 * 3628);
    ASSERT_TRUE(WriteBytes(dir.file("1.tx"), bytes));

    CustomerTask task;
    ASSERT_TRUE(task.Load(dir.file("1.tx")));
    EXPECT_EQ(task.Path(), dir.file("1.tx"));
    EXPECT_EQ(task.Folder(), dir.path());
    EXPECT_EQ(task.phone, QStringLiteral("13800138000"));
    ASSERT_EQ(task.PageCount(), 2);
    EXPECT_EQ(task.pages[0]->Name(), QStringLiteral("相册"));
    EXPECT_EQ(task.pages[1]->Name(), QStringLiteral("相册-2"));
    // Width and height come after the slots on disk.
    EXPECT_EQ(task.pages[0]->width, 2362);
    EXPECT_EQ(task.pages[0]->height, 3543);
    EXPECT_EQ(task.pages[1]->width, 1968);
    EXPECT_EQ(task.pages[1]->height, 2500);
    const SlotPlacement& slot = task.pages[1]->placements[19];
    EXPECT_EQ(slot.angle, 2 * 10000 + 19 * 100 + 0);
    EXPECT_EQ(slot.left, 2 * 10000 + 19 * 100 + 10);
    EXPECT_EQ(slot.borderColor, uint32_t(2 * 10000 + 19 * 100 + 18));
    EXPECT_EQ(slot.PhotoName(), QStringLiteral("照片2_19.jpg"));

    EXPECT_EQ(task.ToBytes(), bytes);
    task.SetPath(dir.file("copy.tx"));
    ASSERT_TRUE(task.Save());
    EXPECT_EQ(ReadBytes(dir.file("copy.tx")), bytes);
}

TEST(CustomerTask, RemovingAPageKeepsTheOthersInOrder) {
    TestFolder dir;
    const QByteArray p1 = PageRecord("a", 1, 10, 11);
    const QByteArray p2 = PageRecord("b", 2, 20, 21);
    const QByteArray p3 = PageRecord("c", 3, 30, 31);
    ASSERT_TRUE(WriteBytes(dir.file("1.tx"), Field("x", 100) + p1 + p2 + p3));

    CustomerTask task;
    ASSERT_TRUE(task.Load(dir.file("1.tx")));
    ASSERT_EQ(task.PageCount(), 3);
    task.RemovePage(0);
    ASSERT_EQ(task.PageCount(), 2);
    EXPECT_EQ(task.pages[0]->Name(), "b");
    EXPECT_EQ(task.pages[1]->Name(), "c");
    // Indexes outside the list change nothing.
    task.RemovePage(-1);
    task.RemovePage(2);
    EXPECT_EQ(task.PageCount(), 2);
    ASSERT_TRUE(task.Save());
    EXPECT_EQ(ReadBytes(dir.file("1.tx")), Field("x", 100) + p2 + p3);

    task.Clear();
    ASSERT_TRUE(task.Save());
    EXPECT_EQ(ReadBytes(dir.file("1.tx")), Field("x", 100));
}

TEST(CustomerTask, ShortLastRecordKeepsItsBytesAndZerosTheRest) {
    TestFolder dir;
    const QByteArray full = PageRecord("full", 1, 100, 200);
    const QByteArray cut = PageRecord("cut", 2, 300, 400).left(150);
    ASSERT_TRUE(WriteBytes(dir.file("1.tx"), Field("p", 100) + full + cut));

    CustomerTask task;
    ASSERT_TRUE(task.Load(dir.file("1.tx")));
    ASSERT_EQ(task.PageCount(), 2);
    const TaskPage& last = *task.pages[1];
    EXPECT_EQ(last.Name(), "cut");
    EXPECT_EQ(last.placements[0].angle, 2 * 10000);
    EXPECT_EQ(last.placements[0].left, 2 * 10000 + 10);
    EXPECT_EQ(last.placements[0].top, 2 * 10000 + 11);
    EXPECT_EQ(last.placements[0].zoom, 0); // past the 50 slot bytes present
    EXPECT_EQ(last.placements[1].angle, 0);
    EXPECT_EQ(last.width, 0);
    EXPECT_EQ(last.height, 0);
    // Saving writes the cut record out whole.
    QByteArray expected = Field("p", 100) + full + cut;
    expected.append(QByteArray(3628 - 150, '\0'));
    EXPECT_EQ(task.ToBytes(), expected);
}

TEST(CustomerTask, FilesShorterThanThePhoneBlockOrEmptyLoadWithoutPages) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("short.tx"), "138"));
    CustomerTask task;
    ASSERT_TRUE(task.Load(dir.file("short.tx")));
    EXPECT_EQ(task.phone, "138");
    EXPECT_EQ(task.PageCount(), 0);
    EXPECT_EQ(task.ToBytes(), Field("138", 100));

    ASSERT_TRUE(WriteBytes(dir.file("empty.tx"), ""));
    ASSERT_TRUE(task.Load(dir.file("empty.tx")));
    EXPECT_TRUE(task.phone.isEmpty());
    EXPECT_EQ(task.PageCount(), 0);
    // A phone block with no NUL at all gives at most 100 bytes of text.
    ASSERT_TRUE(WriteBytes(dir.file("full.tx"), QByteArray(100, '9')));
    ASSERT_TRUE(task.Load(dir.file("full.tx")));
    EXPECT_EQ(task.phone, QString(100, '9'));
}

TEST(CustomerTask, MissingOrOversizedFileFailsAndLeavesNoPages) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("1.tx"), TwoPageFile()));
    CustomerTask task;
    ASSERT_TRUE(task.Load(dir.file("1.tx")));
    ASSERT_EQ(task.PageCount(), 2);

    EXPECT_FALSE(task.Load(dir.file("missing.tx")));
    EXPECT_EQ(task.PageCount(), 0);
    EXPECT_EQ(task.Path(), dir.file("missing.tx"));

    QFile huge(dir.file("huge.tx"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(CustomerTask::kMaxFileBytes + 1)); // sparse, takes no space
    huge.close();
    EXPECT_FALSE(task.Load(dir.file("huge.tx")));
    EXPECT_EQ(task.PageCount(), 0);
}

TEST(CustomerTask, TwoThousandPagesLoadAndOneMoreIsRefused) {
    TestFolder dir;
    CustomerTask task;
    task.SetPath(dir.file("1.tx"));
    for (int i = 0; i < CustomerTask::kMaxPages; ++i)
        task.pages.push_back(std::make_unique<TaskPage>());
    ASSERT_TRUE(task.Save());
    CustomerTask reread;
    ASSERT_TRUE(reread.Load(dir.file("1.tx")));
    EXPECT_EQ(reread.PageCount(), CustomerTask::kMaxPages);
    task.pages.push_back(std::make_unique<TaskPage>());
    ASSERT_TRUE(task.Save());
    EXPECT_FALSE(reread.Load(dir.file("1.tx")));
    EXPECT_EQ(reread.PageCount(), 0);
}

TEST(CustomerTask, PhoneIsCutOnAWholeCharacterAndForeignBytesSurvive) {
    TestFolder dir;
    CustomerTask task;
    task.SetPath(dir.file("1.tx"));
    task.phone = QString(60, QChar(0x5F20)); // 张: 120 GBK bytes
    ASSERT_TRUE(task.Save());
    const QByteArray bytes = ReadBytes(dir.file("1.tx"));
    ASSERT_EQ(bytes.size(), 100);
    EXPECT_EQ(bytes.left(98), ToGbk(QString(49, QChar(0x5F20))));
    EXPECT_EQ(bytes.mid(98), QByteArray(2, '\0'));

    // Bytes that are no GBK text are written back as they were.
    QByteArray odd = QByteArray("13\xFF\x80\x81", 5);
    odd.append(QByteArray(95, '\0'));
    ASSERT_TRUE(WriteBytes(dir.file("odd.tx"), odd + PageRecord("p", 1, 1, 1)));
    ASSERT_TRUE(task.Load(dir.file("odd.tx")));
    EXPECT_EQ(task.ToBytes(), odd + PageRecord("p", 1, 1, 1));
    // A phone changed by the operator is stored as typed.
    task.phone = QStringLiteral("555");
    EXPECT_EQ(task.ToBytes().left(100), Field("555", 100));
}

TEST(TaskPage, NameIsCutToNinetyNineBytesOnAWholeCharacter) {
    TaskPage page;
    page.SetName(QString(70, QChar(0x518C))); // 册
    EXPECT_EQ(page.Name(), QString(49, QChar(0x518C)));
    EXPECT_EQ(page.name[98], '\0');
    EXPECT_EQ(page.name[99], '\0');
    page.SetName(QStringLiteral("短"));
    EXPECT_EQ(page.Name(), QStringLiteral("短"));
    EXPECT_EQ(page.name[2], '\0');
    // A slot's photo name filling its 100 bytes without a NUL reads whole and
    // goes back unchanged.
    QByteArray slot = QByteArray(76, '\0') + QByteArray(100, 'n');
    const SlotPlacement full = SlotPlacement::FromBytes(slot.constData());
    EXPECT_EQ(full.PhotoName(), QString(100, 'n'));
    EXPECT_EQ(full.ToBytes(), slot);
}

TEST(CustomerTask, SaveIntoAFileInsteadOfAFolderFailsAndLeavesNoLitter) {
    TestFolder dir;
    // A folder that is a regular file cannot hold the task file, root or not.
    ASSERT_TRUE(WriteBytes(dir.file("notafolder"), "x"));
    CustomerTask task;
    task.SetPath(dir.file("notafolder/1.tx"));
    EXPECT_FALSE(task.Save());
    EXPECT_EQ(ReadBytes(dir.file("notafolder")), "x");

    // A successful save leaves no temporary files beside the task file.
    ASSERT_TRUE(QDir().mkdir(dir.file("c")));
    const QByteArray before = TwoPageFile();
    ASSERT_TRUE(WriteBytes(dir.file("c/1.tx"), before));
    ASSERT_TRUE(task.Load(dir.file("c/1.tx")));
    task.RemovePage(0);
    ASSERT_TRUE(task.Save());
    EXPECT_EQ(QDir(dir.file("c")).entryList(QDir::Files), QStringList{"1.tx"});
    EXPECT_EQ(ReadBytes(dir.file("c/1.tx")).size(), 100 + 3628);
}

TEST(CustomerTask, SaveRefusedByAReadOnlyFolderKeepsThePreviousFile) {
    if (RunningAsRoot())
        GTEST_SKIP() << "running as root: a read-only folder does not stop the write";
    TestFolder dir;
    ASSERT_TRUE(QDir().mkdir(dir.file("c")));
    const QByteArray before = TwoPageFile();
    CustomerTask task;
    ASSERT_TRUE(WriteBytes(dir.file("c/1.tx"), before));
    ASSERT_TRUE(task.Load(dir.file("c/1.tx")));
    task.RemovePage(0);
    ASSERT_TRUE(WriteBytes(dir.file("c/1.tx"), before));
    ASSERT_TRUE(QFile::setPermissions(dir.file("c"), QFile::ReadOwner | QFile::ExeOwner));
    const bool saved = task.Save();
    QFile::setPermissions(dir.file("c"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(dir.file("c/1.tx")), before);
}

// A disk that fills up in the middle of a save: the file-size limit makes the
// write fail part-way even for root, like a full disk would.
TEST(CustomerTask, SaveThatRunsOutOfSpaceKeepsThePreviousFileWhole) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkdir(dir.file("c")));
    const QByteArray before = TwoPageFile();
    ASSERT_TRUE(WriteBytes(dir.file("c/1.tx"), before));
    CustomerTask task;
    ASSERT_TRUE(task.Load(dir.file("c/1.tx")));
    task.pages.push_back(std::make_unique<TaskPage>(*task.pages[0]));
    task.pages.push_back(std::make_unique<TaskPage>(*task.pages[1]));

    bool saved = true;
    {
        ScopedFileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        saved = task.Save();
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(dir.file("c/1.tx")), before);
    EXPECT_EQ(QDir(dir.file("c")).entryList(QDir::Files), QStringList{"1.tx"});
}
