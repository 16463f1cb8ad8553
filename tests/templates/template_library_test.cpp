#include "common/gbk.h"
#include "templates/library_paths.h"
#include "templates/template_library.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A library folder <base>/模板 inside a fresh test folder.
class LibraryFolder {
public:
    LibraryFolder() { QDir().mkpath(root()); }
    QString root() const { return folder_.file(QStringLiteral("模板")); }
    QString path(const QString& relative) const { return root() + "/" + relative; }

    void WriteText(const QString& name, const QByteArray& gbkBytes) const {
        ASSERT_TRUE(WriteBytes(path(name), gbkBytes));
    }
    void WriteLines(const QString& name, const QStringList& lines) const {
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += ToGbk(line) + "\r\n";
        WriteText(name, bytes);
    }
    // An (empty) package file, with its folders.
    void Touch(const QString& relative) const {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        ASSERT_TRUE(WriteBytes(full, QByteArray("\xC8", 1)));
    }

private:
    TestFolder folder_;
};

TEST(TemplateLibraryFileList, FolderLevelsFromEachLine) {
    LibraryFolder lib;
    lib.WriteLines("list.txt", {
                                   QStringLiteral("1234;婚纱\\唯美\\套1\\1.temp"),
                                   QStringLiteral("99;婚纱\\1.temp"),           // one backslash
                                   QStringLiteral("99;list2.txt"),              // no backslash
                                   QStringLiteral("no separator here"),         // no ";"
                                   QStringLiteral("5;儿童\\组;二\\套\\2.temp"), // two ";"
                                   QStringLiteral("7;写真\\组\\套 \\3.temp \t "),
                               });
    TemplateLibrary library(lib.root());
    library.ReadFileList();

    EXPECT_EQ(library.setFolders(), QStringList({lib.path(QStringLiteral("婚纱/唯美/套1")),
                                                 lib.path(QStringLiteral("婚纱")),
                                                 lib.path(QStringLiteral("儿童/组;二/套")),
                                                 lib.path(QStringLiteral("写真/组/套 "))}));
    EXPECT_EQ(library.groupFolders(), QStringList({lib.path(QStringLiteral("婚纱/唯美")),
                                                   lib.path(QStringLiteral("儿童/组;二")),
                                                   lib.path(QStringLiteral("写真/组"))}));
    EXPECT_EQ(library.unsafeLinesSkipped(), 0);
}

TEST(TemplateLibraryFileList, DuplicatesKeptAndLfAndCrLfMixed) {
    LibraryFolder lib;
    lib.WriteText("list.txt", ToGbk(QStringLiteral("1;婚纱\\组\\套\\1.temp\n"
                                                   "2;婚纱\\组\\套\\2.temp\r\n"
                                                   "3;儿童\\组\\套\\1.temp")));
    TemplateLibrary library(lib.root());
    library.ReadFileList();
    const QString wedding = lib.path(QStringLiteral("婚纱/组/套"));
    EXPECT_EQ(library.setFolders(),
              QStringList({wedding, wedding, lib.path(QStringLiteral("儿童/组/套"))}));
    EXPECT_EQ(library.groupFolders().size(), 3);
    for (const QString& folder : library.setFolders())
        EXPECT_FALSE(folder.contains('\r')) << folder.toStdString();
}

TEST(TemplateLibraryFileList, PathsLeavingTheLibraryAreSkipped) {
    LibraryFolder lib;
    lib.WriteLines("list.txt", {
                                   QStringLiteral("1;..\\..\\etc\\1.temp"),
                                   QStringLiteral("1;婚纱\\..\\..\\x\\1.temp"),
                                   QStringLiteral("1;婚纱/../../x\\1.temp"),
                                   QStringLiteral("1;\\abs\\1.temp"),
                                   QStringLiteral("1;/abs\\1.temp"),
                                   QStringLiteral("1;C:\\Windows\\1.temp"),
                                   QStringLiteral("1;婚纱\\组\\..\\1.temp"),
                                   QStringLiteral("1;婚纱\\组\\套\\1.temp"),
                               });
    TemplateLibrary library(lib.root());
    library.ReadFileList();
    EXPECT_EQ(library.unsafeLinesSkipped(), 7);
    EXPECT_EQ(library.setFolders(), QStringList{lib.path(QStringLiteral("婚纱/组/套"))});
    EXPECT_EQ(library.groupFolders(), QStringList{lib.path(QStringLiteral("婚纱/组"))});
}

TEST(TemplateLibraryFileList, UndecodableBytesDoNotStopTheRead) {
    LibraryFolder lib;
    QByteArray bytes = "1;\xFF\xFE\x80\\\xFF\\1.temp\r\n";
    bytes += ToGbk(QStringLiteral("2;婚纱\\组\\套\\1.temp\r\n"));
    bytes += QByteArray("3;\x81", 3); // a lead byte cut off by the end of the file
    lib.WriteText("list.txt", bytes);
    TemplateLibrary library(lib.root());
    library.ReadFileList();
    ASSERT_EQ(library.setFolders().size(), 2);
    EXPECT_EQ(library.setFolders()[1], lib.path(QStringLiteral("婚纱/组/套")));
    EXPECT_TRUE(library.setFolders()[0].startsWith(lib.root() + "/"));
}

TEST(TemplateLibraryFileList, HundredThousandLines) {
    LibraryFolder lib;
    QByteArray bytes;
    bytes.reserve(100000 * 40);
    for (int i = 0; i < 100000; ++i)
        bytes += ToGbk(QStringLiteral("%1;婚纱\\组%2\\套%3\\1.temp\r\n").arg(i).arg(i % 7).arg(i));
    lib.WriteText("list.txt", bytes);
    TemplateLibrary library(lib.root());
    library.ReadFileList();
    ASSERT_EQ(library.setFolders().size(), 100000);
    ASSERT_EQ(library.groupFolders().size(), 100000);
    EXPECT_EQ(library.setFolders()[99999],
              lib.path(QStringLiteral("婚纱/组%1/套99999").arg(99999 % 7)));
    EXPECT_EQ(library.groupFolders()[12], lib.path(QStringLiteral("婚纱/组5")));
}

TEST(TemplateLibraryIndexLimits, LinesAndSetsBeyondTheLimitsAreLeftOut) {
    LibraryFolder lib;
    QByteArray list;
    for (int i = 0; i < kMaxIndexEntries + 3; ++i)
        list += "1;a\\b\\" + QByteArray::number(i) + "\\1.temp\r\n";
    lib.WriteText("list.txt", list);
    // A set index of more bytes than any library has is not read at all.
    QByteArray index = "<i><p>a\\b\\1.temp</p><n>1</n></i>\r\n";
    index.append(QByteArray(kMaxSetIndexBytes, ' '));
    lib.WriteText("list2.txt", index);
    TemplateLibrary library(lib.root());
    library.ReadFileList();
    library.ReadSetIndex();
    EXPECT_EQ(library.setFolders().size(), kMaxIndexEntries);
    EXPECT_EQ(library.setFolders().last(),
              lib.path(QStringLiteral("a/b/%1").arg(kMaxIndexEntries - 1)));
    EXPECT_TRUE(library.setIndex().paths.isEmpty());
}

const char* kTwoSets = "<i><p>婚纱\\组\\套\\1.temp</p><n>3</n><w>30</w><h>20.5</h><f>1.46</f></i>"
                       "<i><f>0.75</f><h>40</h><w>30</w><n>12</n><p>儿童\\组\\套\\1.temp</p></i>";

TEST(TemplateLibrarySetIndex, OneLineOrManyGiveTheSameIndex) {
    LibraryFolder one;
    one.WriteText("list2.txt", ToGbk(QString::fromUtf8(kTwoSets)));
    TemplateLibrary fromOne(one.root());
    fromOne.ReadSetIndex();

    LibraryFolder many;
    // Breaks anywhere, even inside tags and values, mean nothing.
    QString text = QString::fromUtf8(kTwoSets);
    QByteArray spread;
    for (qsizetype i = 0; i < text.size(); i += 5)
        spread += ToGbk(text.mid(i, 5)) + (i % 2 ? "\r\n" : "\n");
    many.WriteText("list2.txt", spread);
    TemplateLibrary fromMany(many.root());
    fromMany.ReadSetIndex();

    for (const TemplateLibrary* lib : {&fromOne, &fromMany}) {
        const SetIndex& index = lib->setIndex();
        EXPECT_EQ(index.paths, QStringList({QStringLiteral("婚纱\\组\\套\\1.temp"),
                                            QStringLiteral("儿童\\组\\套\\1.temp")}));
        EXPECT_EQ(index.slotCounts, QStringList({"3", "12"}));
        EXPECT_EQ(index.widths, QStringList({"30", "30"}));
        EXPECT_EQ(index.heights, QStringList({"20.5", "40"}));
        EXPECT_EQ(index.proportions, QStringList({"1.46", "0.75"}));
    }
}

TEST(TemplateLibrarySetIndex, EmptyItemEndsTheRead) {
    LibraryFolder lib;
    lib.WriteText("list2.txt", "<i><p>a\\1.temp</p><n>1</n></i><i></i>"
                               "<i><p>b\\1.temp</p><n>2</n></i>");
    TemplateLibrary library(lib.root());
    library.ReadSetIndex();
    EXPECT_EQ(library.setIndex().paths, QStringList{"a\\1.temp"});
    EXPECT_EQ(library.setIndex().slotCounts, QStringList{"1"});
    // Missing fields read as empty, keeping the five lists aligned.
    EXPECT_EQ(library.setIndex().widths, QStringList{""});
    EXPECT_EQ(library.setIndex().proportions, QStringList{""});
}

TEST(TemplateLibrarySetIndex, MisspeltClosingTagReadsEmpty) {
    LibraryFolder lib;
    lib.WriteText("list2.txt", "<i><p>a\\1.temp</p><n>4</m><w>30</w><h>20</h><f>1.5</f></i>"
                               "<i><p>b\\1.temp</p><n>5</n><w>10</w><h>10</h><f>1</f></i>");
    TemplateLibrary library(lib.root());
    library.ReadSetIndex();
    const SetIndex& index = library.setIndex();
    EXPECT_EQ(index.paths, QStringList({"a\\1.temp", "b\\1.temp"}));
    EXPECT_EQ(index.slotCounts, QStringList({"", "5"}));
    EXPECT_EQ(index.widths, QStringList({"30", "10"}));
    EXPECT_EQ(index.heights, QStringList({"20", "10"}));
    EXPECT_EQ(index.proportions, QStringList({"1.5", "1"}));
}

TEST(TemplateLibrarySetIndex, LookupComparesPathsExactly) {
    LibraryFolder lib;
    lib.WriteText("list2.txt",
                  ToGbk(QString::fromUtf8(kTwoSets)) +
                      ToGbk(QStringLiteral("<i><p>婚纱\\组\\套\\1.temp</p><n>99</n></i>")));
    TemplateLibrary library(lib.root());
    library.ReadSetIndex();
    ASSERT_EQ(library.setIndex().size(), 3);
    // The first of two equal keys answers.
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("婚纱\\组\\套\\1.temp")), 0);
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("儿童\\组\\套\\1.temp")), 1);
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("儿童/组/套/1.temp")), -1);
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("儿童\\组\\套\\1.TEMP")), -1);
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("儿童\\组\\套\\1.temp ")), -1);
    EXPECT_EQ(library.FindSetInfo(QString()), -1);
}

TEST(TemplateLibrary, MissingFilesGiveEmptyListsAndNoSet) {
    LibraryFolder lib;
    TemplateLibrary library(lib.root());
    library.Load();
    EXPECT_TRUE(library.setFolders().isEmpty());
    EXPECT_TRUE(library.groupFolders().isEmpty());
    EXPECT_TRUE(library.templates().isEmpty());
    EXPECT_TRUE(library.sets().isEmpty());
    EXPECT_EQ(library.setIndex().size(), 0);
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("婚纱\\组\\套\\1.temp")), -1);
    EXPECT_TRUE(library.openSet().folder.isEmpty());
    EXPECT_TRUE(library.openSet().pages.isEmpty());

    TemplateLibrary noFolder(lib.path("not-there"));
    noFolder.Load();
    EXPECT_TRUE(noFolder.templates().isEmpty());
}

TEST(TemplateLibrarySearch, FindsEveryTempNameAndOnlyFirstPagesAsSets) {
    LibraryFolder lib;
    for (const char* name : {"1.temp", "2.temp", "5.temp", "11.temp", "21.temp", "101.temp",
                             "3.TEMP", "4.Temp", "a.temp.bak", "6.tmp", "readme.txt"})
        lib.Touch(QStringLiteral("婚纱/组/套/") + name);
    lib.Touch(QStringLiteral("儿童/组/套/1.temp"));
    lib.Touch(QStringLiteral("儿童/组/套/1.temp.old"));
    TemplateLibrary library(lib.root());
    library.SearchTemplates();

    QStringList names;
    for (const QString& path : library.templates())
        names.append(path.mid(lib.root().size() + 1));
    names.sort();
    EXPECT_EQ(
        names,
        QStringList({QStringLiteral("儿童/组/套/1.temp"), QStringLiteral("儿童/组/套/1.temp.old"),
                     QStringLiteral("婚纱/组/套/1.temp"), QStringLiteral("婚纱/组/套/101.temp"),
                     QStringLiteral("婚纱/组/套/11.temp"), QStringLiteral("婚纱/组/套/2.temp"),
                     QStringLiteral("婚纱/组/套/21.temp"), QStringLiteral("婚纱/组/套/3.TEMP"),
                     QStringLiteral("婚纱/组/套/4.Temp"), QStringLiteral("婚纱/组/套/5.temp"),
                     QStringLiteral("婚纱/组/套/a.temp.bak")}));
    QStringList sets = library.sets();
    sets.sort();
    EXPECT_EQ(sets, QStringList({lib.path(QStringLiteral("儿童/组/套/1.temp")),
                                 lib.path(QStringLiteral("婚纱/组/套/1.temp"))}));
    // The set list keeps the search order of the template list.
    EXPECT_LT(library.templates().indexOf(library.sets()[0]),
              library.templates().indexOf(library.sets()[1]));
}

TEST(TemplateLibraryOpenSet, ExistingPagesInNumberOrderWithLabels) {
    LibraryFolder lib;
    for (const char* name : {"5.temp", "1.temp", "2.temp", "101.temp", "0.temp", "x.temp"})
        lib.Touch(QStringLiteral("婚纱/唯美/套A/") + name);
    QDir().mkpath(lib.path(QStringLiteral("婚纱/唯美/套A/3.temp"))); // a folder, not a page
    TemplateLibrary library(lib.root());

    const QStringList& pages = library.OpenSet(lib.path(QStringLiteral("婚纱/唯美/套A/")));
    const QString folder = lib.path(QStringLiteral("婚纱/唯美/套A"));
    EXPECT_EQ(pages, QStringList({folder + "/1.temp", folder + "/2.temp", folder + "/5.temp"}));
    EXPECT_EQ(library.openSet().folder, folder);
    EXPECT_EQ(library.openSet().key, QStringLiteral("婚纱-唯美-套A"));
    EXPECT_EQ(library.openSet().Labels(),
              QStringList({QStringLiteral("婚纱-唯美-套A-1"), QStringLiteral("婚纱-唯美-套A-2"),
                           QStringLiteral("婚纱-唯美-套A-5")}));
    EXPECT_EQ(library.openSet().PagePath(2), folder + "/5.temp");
    EXPECT_TRUE(library.openSet().PagePath(3).isEmpty());
    EXPECT_TRUE(library.openSet().PagePath(-1).isEmpty());

    // Opening another set replaces the page list.
    lib.Touch(QStringLiteral("婚纱/1.temp"));
    library.OpenSet(lib.path(QStringLiteral("婚纱")));
    EXPECT_EQ(library.openSet().key, QStringLiteral("婚纱"));
    EXPECT_EQ(library.openSet().pages, QStringList{lib.path(QStringLiteral("婚纱/1.temp"))});

    library.OpenSet(lib.path(QStringLiteral("儿童/none")));
    EXPECT_TRUE(library.openSet().pages.isEmpty());
    EXPECT_EQ(library.openSet().key, QStringLiteral("儿童-none"));
}

TEST(TemplateLibraryOpenSet, PageHundredIsTheLastAndCapitalsAreFound) {
    LibraryFolder lib;
    for (const char* name : {"100.temp", "3.TEMP", "7.temp", "7.TEMP"})
        lib.Touch(QStringLiteral("写真/组/套/") + name);
    TemplateLibrary library(lib.root());
    library.OpenSet(lib.path(QStringLiteral("写真/组/套")));
    const QString folder = lib.path(QStringLiteral("写真/组/套"));
    EXPECT_EQ(library.openSet().pages,
              QStringList({folder + "/3.TEMP", folder + "/7.temp", folder + "/100.temp"}));
    EXPECT_EQ(library.openSet().Labels(),
              QStringList({QStringLiteral("写真-组-套-3"), QStringLiteral("写真-组-套-7"),
                           QStringLiteral("写真-组-套-100")}));
}

TEST(TemplateLibraryOpenSet, PagesDirectlyInTheTemplateFolderHaveAnEmptyKey) {
    LibraryFolder lib;
    lib.Touch(QStringLiteral("1.temp"));
    lib.Touch(QStringLiteral("2.temp"));
    TemplateLibrary library(lib.root());
    library.SearchTemplates();
    ASSERT_TRUE(library.OpenInitialSet());
    EXPECT_EQ(library.openSet().folder, lib.root());
    EXPECT_EQ(library.openSet().pages, QStringList({lib.path(QStringLiteral("1.temp")),
                                                    lib.path(QStringLiteral("2.temp"))}));
    // The key is the folder's part after "<base>/模板/": nothing here, so the
    // labels carry no part of the base folder's own path.
    EXPECT_TRUE(library.openSet().key.isEmpty());
    EXPECT_EQ(library.openSet().Labels(),
              QStringList({QStringLiteral("-1"), QStringLiteral("-2")}));

    library.OpenSet(lib.root() + QStringLiteral("/"));
    EXPECT_TRUE(library.openSet().key.isEmpty());
    EXPECT_EQ(library.openSet().pages.size(), 2);
}

TEST(TemplateLibrary, LoadOpensTheFolderOfTheFirstTemplate) {
    LibraryFolder lib;
    lib.Touch(QStringLiteral("婚纱/组/套/2.temp"));
    lib.Touch(QStringLiteral("婚纱/组/套/1.temp"));
    lib.WriteLines("list.txt", {QStringLiteral("1;婚纱\\组\\套\\1.temp")});
    lib.WriteText("list2.txt", ToGbk(QStringLiteral("<i><p>婚纱\\组\\套\\1.temp</p><n>2</n></i>")));
    TemplateLibrary library(lib.root());
    library.Load();
    ASSERT_EQ(library.templates().size(), 2);
    EXPECT_EQ(library.sets(), QStringList{lib.path(QStringLiteral("婚纱/组/套/1.temp"))});
    EXPECT_EQ(library.openSet().folder, lib.path(QStringLiteral("婚纱/组/套")));
    EXPECT_EQ(library.openSet().pages.size(), 2);
    EXPECT_TRUE(
        TemplateLibrary::IsListed(lib.path(QStringLiteral("婚纱/组/套")), library.setFolders()));
    EXPECT_TRUE(
        TemplateLibrary::IsListed(lib.path(QStringLiteral("婚纱/组")), library.groupFolders()));
    EXPECT_FALSE(
        TemplateLibrary::IsListed(lib.path(QStringLiteral("婚纱/组/")), library.groupFolders()));
    EXPECT_FALSE(
        TemplateLibrary::IsListed(lib.path(QStringLiteral("婚纱/组")), library.setFolders()));
    EXPECT_EQ(library.FindSetInfo(QStringLiteral("婚纱\\组\\套\\1.temp")), 0);

    library.DropFirstTemplate();
    EXPECT_EQ(library.templates().size(), 1);
}

TEST(TemplateLibrary, DefaultRootIsTheBaseTemplateFolder) {
    TestFolder base;
    EXPECT_EQ(TemplateLibrary().root(), base.file(QStringLiteral("模板")));
    EXPECT_EQ(TemplateRoot(), base.file(QStringLiteral("模板")));
}

TEST(LibraryPaths, SafeRelativePaths) {
    for (const char* safe :
         {"婚纱\\组\\套\\1.temp", "list.txt", "a\\.\\b", "a\\..b\\c", "a\\b..\\c"})
        EXPECT_TRUE(IsSafeLibraryPath(QString::fromUtf8(safe))) << safe;
    for (const char* unsafe : {"", "..", "..\\a", "a\\..", "a/../b", "\\a", "/a", "C:\\a", "c:a",
                               "a\\.. \\b", "a\\...\\b", "\\\\server\\share\\1.temp"})
        EXPECT_FALSE(IsSafeLibraryPath(QString::fromUtf8(unsafe))) << unsafe;
    EXPECT_FALSE(IsSafeLibraryPath(QStringLiteral("a\\b") + QChar(0) + "c"));
    EXPECT_EQ(LibraryLocalPath("/r/模板", QStringLiteral("婚纱\\组\\1.temp")),
              QStringLiteral("/r/模板/婚纱/组/1.temp"));
}

} // namespace
