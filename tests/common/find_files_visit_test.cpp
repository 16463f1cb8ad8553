#include "common/find_files.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(VisitFoundFiles, StopsWhenTheVisitorSaysSo) {
    TestFolder dir;
    for (const char* name : {"a", "b", "c", "d"}) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        ASSERT_TRUE(WriteBytes(dir.file(QString("%1/1.tx").arg(name)), "x"));
    }
    const QStringList all = FindFiles(dir.path(), "*.tx", true).files;
    ASSERT_EQ(all.size(), 4);
    QStringList seen;
    VisitFoundFiles(dir.path(), "*.tx", true, [&](const QString& path, bool isFolder) {
        if (!isFolder)
            seen.append(path);
        return seen.size() < 2;
    });
    // The first two, in the same order the whole search gives.
    EXPECT_EQ(seen, all.mid(0, 2));
}

TEST(VisitFoundFiles, LinkBackUpTheTreeIsNotSearchedAgain) {
    TestFolder dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("a"));
    ASSERT_TRUE(WriteBytes(dir.file("a/1.tx"), "x"));
    ASSERT_TRUE(QFile::link(dir.path(), dir.file("a/up")));
    ASSERT_TRUE(QFile::link(dir.file("a"), dir.file("a/again")));
    const FoundFiles found = FindFiles(dir.path(), "*.tx", true);
    EXPECT_EQ(found.files, QStringList{dir.file("a/1.tx")});
    EXPECT_EQ(found.folders.size(), 3); // a/, a/up/, a/again/: listed, not entered
}
