#include "common/gbk.h"
#include "templates/template_library.h"
#include "templates/template_tree.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// <base>/模板 with:
//   婚纱/唯美/套1 (listed set), 婚纱/唯美/套2 (not listed), 婚纱/杂 (not a listed group),
//   婚纱/唯美/Set3 listed as "set3" (letter case differs),
//   儿童/1.temp, 儿童/2.temp (a category holding its pages itself),
//   写真/组 (a listed group whose listed set is not on disk) with 写真/组/套.
class TreeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder :
             {"婚纱/唯美/套1", "婚纱/唯美/套2", "婚纱/唯美/Set3", "婚纱/杂/套", "写真/组/套"})
            ASSERT_TRUE(QDir().mkpath(Path(QString::fromUtf8(folder))));
        for (const char* page : {"婚纱/唯美/套1/1.temp", "儿童/1.temp", "儿童/2.temp"}) {
            QDir().mkpath(QFileInfo(Path(QString::fromUtf8(page))).absolutePath());
            ASSERT_TRUE(WriteBytes(Path(QString::fromUtf8(page)), QByteArray("\xC8", 1)));
        }
        ASSERT_TRUE(
            WriteBytes(Path("list.txt"), ToGbk(QStringLiteral("1;婚纱\\唯美\\套1\\1.temp\r\n"
                                                              "2;婚纱\\唯美\\set3\\1.temp\r\n"
                                                              "3;写真\\组\\别的套\\1.temp\r\n"))));
        library_.ReadFileList();
    }
    QString Path(const QString& relative) const { return folder_.file("模板/" + relative); }

    TestFolder folder_;
    TemplateLibrary library_{folder_.file(QStringLiteral("模板"))};
};

TEST_F(TreeLibrary, LevelsFilteredByTheFileList) {
    // Categories in the studio's name order (code units), not the disk's.
    EXPECT_EQ(TreeCategories(library_), (QStringList{QStringLiteral("儿童"), QStringLiteral("写真"),
                                                     QStringLiteral("婚纱")}));

    const QString wedding = TreeItemFolder(library_, {QStringLiteral("婚纱")});
    EXPECT_EQ(wedding, Path(QStringLiteral("婚纱")));
    EXPECT_EQ(TreeGroups(library_, wedding), QStringList{QStringLiteral("唯美")});
    // Exact comparison: "Set3" on disk is not the listed "set3".
    EXPECT_EQ(TreeSets(library_, Path(QStringLiteral("婚纱/唯美"))),
              QStringList{QStringLiteral("套1")});
    EXPECT_EQ(TreeItemFolder(library_, {QStringLiteral("婚纱"), QStringLiteral("唯美"),
                                        QStringLiteral("套1")}),
              Path(QStringLiteral("婚纱/唯美/套1")));
    EXPECT_EQ(TreeItemFolder(library_, {}), library_.root());
}

TEST_F(TreeLibrary, GroupWithoutListedSetsOnDiskAddsNothing) {
    const QString portrait = TreeItemFolder(library_, {QStringLiteral("写真")});
    EXPECT_EQ(TreeGroups(library_, portrait), QStringList{QStringLiteral("组")});
    EXPECT_TRUE(TreeSets(library_, portrait + QStringLiteral("/组")).isEmpty());
    EXPECT_TRUE(TreeGroups(library_, Path("no such category")).isEmpty());
}

TEST_F(TreeLibrary, CategoryWithoutGroupsOpensAsASet) {
    const QString children = TreeItemFolder(library_, {QStringLiteral("儿童")});
    ASSERT_TRUE(TreeGroups(library_, children).isEmpty());
    const QStringList pages = library_.OpenSet(children);
    EXPECT_EQ(pages, QStringList({Path(QStringLiteral("儿童/1.temp")),
                                  Path(QStringLiteral("儿童/2.temp"))}));
    EXPECT_EQ(library_.openSet().Labels(),
              QStringList({QStringLiteral("儿童-1"), QStringLiteral("儿童-2")}));
}

} // namespace
