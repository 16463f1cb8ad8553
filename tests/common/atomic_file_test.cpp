#include "common/atomic_file.h"

#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

TEST(WriteFileAtomic, ReplacesWholeAndLeavesNothingBeside) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("a.txt"), "old"));
    ASSERT_TRUE(QFile::setPermissions(dir.file("a.txt"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(WriteFileAtomic(dir.file("a.txt"), "new content"));
    EXPECT_EQ(ReadBytes(dir.file("a.txt")), "new content");
    EXPECT_EQ(QFile::permissions(dir.file("a.txt")) & (QFile::ReadGroup | QFile::ReadOther),
              QFile::ReadGroup);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.txt"});
}

TEST(WriteFileAtomic, DiskFullPartWayKeepsTheOldFileAndReportsFailure) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("1.tx"), "previous"));
    const QByteArray big(64 * 1024, 'x');
    bool written = true;
    {
        ScopedFileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.active());
        written = WriteFileAtomic(dir.file("1.tx"), big);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(dir.file("1.tx")), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"1.tx"});
}

TEST(WriteFileAtomic, RemovesTemporaryFilesThatAKilledWriteLeftInTheFolder) {
    TestFolder dir;
    const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
    const QDateTime future = QDateTime::currentDateTime().addSecs(3600);
    const struct {
        const char* name;
        QDateTime modified;
        bool kept;
    } files[] = {
        {".status.txt.a1B2c3", past, false}, // left by a write killed before this process
        {".dat.Zz9yX8", past, false},
        {".1.tx.QwErTy", future, true}, // another program's write still going
        {".keep", past, true},          // not a temporary file of a write
        {".notes.txt.ab-cd!", past, true},
    };
    for (const auto& f : files) {
        ASSERT_TRUE(WriteBytes(dir.file(f.name), "partial"));
        QFile file(dir.file(f.name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(f.modified, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(WriteFileAtomic(dir.file("status.txt"), "<s>1/1</s>"));
    for (const auto& f : files)
        EXPECT_EQ(QFileInfo::exists(dir.file(f.name)), f.kept) << f.name;
}

TEST(WriteFileAtomic, MissingFolderFails) {
    TestFolder dir;
    EXPECT_FALSE(WriteFileAtomic(dir.file("no/such/folder/x"), "x"));
    QByteArray read;
    EXPECT_FALSE(ReadWholeFile(dir.file("no/such/folder/x"), read));
}

TEST(ReadWholeFile, RefusesFilesAboveTheCap) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("f"), QByteArray(100, 'a')));
    QByteArray read;
    EXPECT_FALSE(ReadWholeFile(dir.file("f"), read, 99));
    EXPECT_TRUE(read.isEmpty());
    EXPECT_TRUE(ReadWholeFile(dir.file("f"), read, 100));
    EXPECT_EQ(read.size(), 100);
}

TEST(ReadWholeFile, EndlessAndPipedFilesAreHeldToTheCap) {
    // A device without end, and a named pipe whose writer sends 150 bytes:
    // neither tells its size, so only the cap keeps the read bounded.
    QByteArray read;
    EXPECT_FALSE(ReadWholeFile("/dev/zero", read, 1 << 20));
    EXPECT_TRUE(read.isEmpty());
    TestFolder dir;
    const QString pipe = dir.file("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const qint64 cap : {qint64(100), qint64(150)}) {
        std::thread writer([&] { WriteBytes(pipe, QByteArray(150, 'p')); });
        const bool whole = ReadWholeFile(pipe, read, cap);
        writer.join();
        EXPECT_EQ(whole, cap >= 150) << cap;
        EXPECT_EQ(read, whole ? QByteArray(150, 'p') : QByteArray()) << cap;
    }
}
