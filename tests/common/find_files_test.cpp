#include "common/find_files.h"

#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
void Touch(const QString& path) {
    ASSERT_TRUE(WriteBytes(path, "x"));
}
} // namespace

TEST(FindFiles, MatchesExtensionAnywhereInAnyCase) {
    TestFolder dir;
    Touch(dir.file("1.temp"));
    Touch(dir.file("2.TEMP"));
    Touch(dir.file("a.temp.bak"));
    Touch(dir.file("b.tem"));
    Touch(dir.file(".hidden.temp"));
    const FoundFiles found = FindFiles(dir.path(), "*.temp", false);
    QStringList names;
    for (const QString& f : found.files)
        names.append(QFileInfo(f).fileName());
    names.sort();
    EXPECT_EQ(names, (QStringList{"1.temp", "2.TEMP", "a.temp.bak"}));
    for (const QString& f : found.files)
        EXPECT_TRUE(f.startsWith(dir.path() + "/")) << f.toStdString();
}

TEST(FindFiles, StarPatternsMatchEverything) {
    TestFolder dir;
    Touch(dir.file("a.jpg"));
    Touch(dir.file("noext"));
    EXPECT_EQ(FindFiles(dir.path(), "*", false).files.size(), 2);
    EXPECT_EQ(FindFiles(dir.path(), "*.*", false).files.size(), 2);
}

TEST(FindFiles, FoldersGetTrailingSeparatorAndRecursionInterleaves) {
    TestFolder dir;
    QDir(dir.path()).mkpath("sub/deeper");
    QDir(dir.path()).mkpath(".git");
    Touch(dir.file("top.temp"));
    Touch(dir.file("sub/s.temp"));
    Touch(dir.file("sub/deeper/d.temp"));
    Touch(dir.file(".git/g.temp"));

    const FoundFiles flat = FindFiles(dir.path(), "*.temp", false);
    EXPECT_EQ(flat.folders, QStringList{dir.path() + "/sub/"});
    EXPECT_EQ(flat.files, QStringList{dir.path() + "/top.temp"});

    const FoundFiles deep = FindFiles(dir.path(), "*.temp", true);
    EXPECT_EQ(deep.folders.size(), 2);
    EXPECT_TRUE(deep.folders.contains(dir.path() + "/sub/deeper/"));
    EXPECT_EQ(deep.files.size(), 3);
    // A sub-folder's results follow the sub-folder itself: "sub/" comes before
    // "sub/deeper/", and sub's file comes before or after deeper's according
    // to the order the folder was listed in, never split from its folder.
    EXPECT_LT(deep.folders.indexOf(dir.path() + "/sub/"),
              deep.folders.indexOf(dir.path() + "/sub/deeper/"));
    EXPECT_EQ(deep.all().first(), deep.folders.first());
    EXPECT_EQ(deep.all().size(), 5);
}

TEST(FindFiles, MissingFolderFindsNothing) {
    const FoundFiles found = FindFiles("/nonexistent/folder/for/taoban", "*", true);
    EXPECT_TRUE(found.folders.isEmpty());
    EXPECT_TRUE(found.files.isEmpty());
}

TEST(FindFiles, ChineseNames) {
    TestFolder dir;
    QDir(dir.path()).mkpath("婚纱/套一");
    Touch(dir.file("婚纱/套一/1.temp"));
    const FoundFiles found = FindFiles(dir.path(), "*.temp", true);
    EXPECT_EQ(found.files, QStringList{dir.path() + "/婚纱/套一/1.temp"});
    EXPECT_EQ(found.folders, (QStringList{dir.path() + "/婚纱/", dir.path() + "/婚纱/套一/"}));
}

// Names in the studio's order: a to z as capitals, then code unit by code
// unit; no locale ("张" before "李", "_" after "Z"), shorter prefix first.
TEST(FindFiles, EveryMachineListsInTheStudiosOrder) {
    const QStringList expected{"9", "a", "a10", "A2", "b", "Z", "_x", "~1", "张三", "李四"};
    TestFolder dir;
    QDir(dir.path()).mkpath("sets");
    // Created in reverse so the disk's own order cannot pass for the result.
    for (auto name = expected.crbegin(); name != expected.crend(); ++name) {
        Touch(dir.file(*name));
        QDir(dir.path()).mkpath("sets/" + *name);
    }
    QStringList files, folders;
    for (const QString& name : expected) {
        files.append(dir.path() + "/" + name);
        folders.append(dir.path() + "/sets/" + name + "/");
    }
    EXPECT_EQ(FindFiles(dir.path(), "*", false).files, files);
    EXPECT_EQ(FindFiles(dir.file("sets"), "*", false).folders, folders);
}
