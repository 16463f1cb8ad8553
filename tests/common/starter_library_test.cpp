#include "common/starter_library.h"

#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QByteArray kTemplate("template page");
const QByteArray kPhoto("demo photo");
const QByteArray kOwn("the studio's own file");

bool Put(const QString& file, const QByteArray& bytes) {
    return QDir().mkpath(QFileInfo(file).absolutePath()) && WriteBytes(file, bytes);
}

struct StockRow {
    const char* name;
    const char* present; // a file the studio holds before the start, or ""
    StarterCopy expected;
    // After the start: the bytes of 模板/婚纱/1.temp and 样片/样片01.jpg
    // (empty when absent) and whether the studio's own file is still there.
    QByteArray library;
    QByteArray photos;
};
} // namespace

TEST(StarterLibrary, NewStudioIsStockedOnce) {
    QTemporaryDir source;
    ASSERT_TRUE(Put(source.path() + "/模板/婚纱/1.temp", kTemplate));
    ASSERT_TRUE(Put(source.path() + "/样片/样片01.jpg", kPhoto));

    const StockRow rows[] = {
        {"empty base", "", StarterCopy::Copied, kTemplate, kPhoto},
        {"base that has a library", "模板/own.temp", StarterCopy::NotNeeded, {}, {}},
        {"base with its own photos", "样片/own.jpg", StarterCopy::Copied, kTemplate, {}},
        {"copy cut off last time", ".模板.partial/婚纱/1.temp", StarterCopy::Copied, kTemplate,
         kPhoto},
    };
    for (const StockRow& row : rows) {
        QTemporaryDir base;
        const QString own = base.path() + "/" + QString::fromUtf8(row.present);
        if (*row.present) {
            ASSERT_TRUE(Put(own, kOwn)) << row.name;
        }
        QString error;
        EXPECT_EQ(StockNewStudio(base.path(), source.path(), &error), row.expected) << row.name;
        EXPECT_EQ(error, "") << row.name;
        EXPECT_EQ(ReadBytes(base.path() + "/模板/婚纱/1.temp"), row.library) << row.name;
        EXPECT_EQ(ReadBytes(base.path() + "/样片/样片01.jpg"), row.photos) << row.name;
        const bool ownKept = !own.contains(".partial");
        if (*row.present) {
            EXPECT_EQ(QFileInfo::exists(own), ownKept) << row.name;
        }
        const QStringList left =
            QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_FALSE(left.join(' ').contains(".partial")) << row.name;
    }
}

TEST(StarterLibrary, NothingToCopyLeavesTheBaseAlone) {
    QTemporaryDir source, base;
    EXPECT_EQ(StockNewStudio(base.path(), source.path()), StarterCopy::NothingToCopy);
    EXPECT_EQ(StockNewStudio(base.path(), ""), StarterCopy::NothingToCopy);
    EXPECT_TRUE(QDir(base.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}
