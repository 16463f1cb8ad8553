// Loads the demo template library that the build packs into <build>/demo/模板
// with the same index reader the main window uses.

#include "compose/template_body.h"
#include "templates/template_library.h"
#include "templates/template_preview.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(TemplateLibraryOnDemo, IndexFilesAndDiskAgree) {
    const QString root = QStringLiteral(TAOBAN_BINARY_DIR "/demo/模板");
    ASSERT_TRUE(QFileInfo(root + "/list.txt").isFile()) << "the build makes the demo library";
    TemplateLibrary library(root);
    library.Load();

    ASSERT_FALSE(library.setFolders().isEmpty());
    ASSERT_FALSE(library.sets().isEmpty());
    EXPECT_EQ(library.unsafeLinesSkipped(), 0);
    // Every listed set and group is a folder of the library, and every
    // package on disk is listed in list.txt (one line per file).
    for (const QString& folder : library.setFolders() + library.groupFolders())
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    for (const QString& path : library.templates()) {
        const QString folder = QFileInfo(path).absolutePath();
        EXPECT_TRUE(TemplateLibrary::IsListed(folder, library.setFolders())) << path.toStdString();
        EXPECT_TRUE(
            TemplateLibrary::IsListed(QFileInfo(folder).absolutePath(), library.groupFolders()))
            << path.toStdString();
    }

    // Each set's first page has its entry in list2.txt, found by the
    // relative path with backslashes, and the entry's slot count is the
    // number of slots the page really has.
    for (const QString& first : library.sets()) {
        QString relative = QDir(root).relativeFilePath(first);
        relative.replace('/', '\\');
        const int at = library.FindSetInfo(relative);
        ASSERT_GE(at, 0) << relative.toStdString();
        TemplateBody body;
        ASSERT_EQ(ParseTemplateBody(ReadBytes(first), body), BodyStatus::Ok);
        EXPECT_EQ(library.setIndex().slotCounts[at].toInt(), body.SlotRects().size())
            << relative.toStdString();
    }
    EXPECT_EQ(library.setIndex().size(), library.sets().size());

    // Opening every set lists its pages in order with labels, and every page
    // has a thumbnail.
    int pages = 0;
    for (const QString& first : library.sets()) {
        const QString folder = QFileInfo(first).absolutePath();
        library.OpenSet(folder);
        const OpenTemplateSet& set = library.openSet();
        ASSERT_FALSE(set.pages.isEmpty()) << folder.toStdString();
        EXPECT_EQ(set.pages.first(), first);
        QString key = QDir(root).relativeFilePath(folder);
        key.replace('/', '-');
        EXPECT_EQ(set.key, key);
        const QStringList labels = set.Labels();
        for (int i = 0; i < set.pages.size(); ++i) {
            EXPECT_EQ(labels[i], key + "-" + QFileInfo(set.pages[i]).baseName());
            EXPECT_FALSE(ReadTemplatePreview(set.pages[i]).isNull()) << set.pages[i].toStdString();
        }
        pages += set.pages.size();
    }
    EXPECT_EQ(pages, library.templates().size());
}

} // namespace
