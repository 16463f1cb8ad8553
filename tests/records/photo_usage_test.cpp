#include "records/customer_task.h"
#include "records/photo_usage.h"

#include "records_test_util.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

// A task with pages whose slots name photos: {page, slot, name}.
struct SlotName {
    int page;
    int slot;
    const char* name;
};

CustomerTask SavedAndReloaded(const TestFolder& folder, int pages,
                              std::initializer_list<SlotName> names) {
    CustomerTask task;
    task.SetPath(folder.file("1.tx"));
    for (int i = 0; i < pages; ++i) {
        auto page = std::make_unique<TaskPage>();
        page->SetName(QString::number(i + 1));
        for (SlotPlacement& slot : page->placements)
            slot = SlotPlacement::Zero();
        task.pages.push_back(std::move(page));
    }
    for (const SlotName& n : names)
        task.pages[n.page]->placements[n.slot].SetPhotoName(QString::fromUtf8(n.name));
    EXPECT_TRUE(task.Save());
    CustomerTask loaded;
    EXPECT_TRUE(loaded.Load(folder.file("1.tx")));
    return loaded;
}

TEST(PhotoUsage, CountsSlotsOfAllPagesByFileNameIgnoringCase) {
    TestFolder folder;
    const CustomerTask task = SavedAndReloaded(folder, 2,
                                               {{0, 0, "IMG_01.JPG"},
                                                {0, 5, "  img_01.jpg "},
                                                {1, 19, "Img_01.jpg"},
                                                {1, 3, "照片A.JPG"},
                                                {1, 4, "   "},
                                                {1, 7, "other.jpg"}});
    const QStringList photos{"/a/img_01.jpg", "/b/IMG_01.JPG", "/a/照片a.jpg", "/a/unused.jpg"};
    const PhotoUsage usage = CountPhotoUsage(task, photos);

    EXPECT_EQ(usage.counts, QList<int>({3, 3, 1, 0}));
    EXPECT_EQ(usage.labels, QStringList({QStringLiteral("img_01.jpg\r\n选中3次"),
                                         QStringLiteral("img_01.jpg\r\n选中3次"),
                                         QStringLiteral("照片a.jpg\r\n选中1次"),
                                         QStringLiteral("unused.jpg\r\n选中0次")}));
    EXPECT_EQ(usage.usedPhotos, QStringList({"/a/img_01.jpg", "/b/IMG_01.JPG", "/a/照片a.jpg"}));
}

TEST(PhotoUsage, NoTaskPagesMeansNothingUsed) {
    const PhotoUsage usage = CountPhotoUsage(CustomerTask(), {"/x/a.jpg"});
    EXPECT_EQ(usage.counts, QList<int>({0}));
    EXPECT_EQ(usage.labels, QStringList({QStringLiteral("a.jpg\r\n选中0次")}));
    EXPECT_TRUE(usage.usedPhotos.isEmpty());
}

TEST(PhotoUsage, LabelsAreTheLowercasedFileName) {
    EXPECT_EQ(FileThumbnailLabel(QStringLiteral("/Studio/样片/DSC_0001.JPG")),
              QStringLiteral("dsc_0001.jpg"));
    EXPECT_EQ(FileThumbnailLabel(QStringLiteral("plain.png")), QStringLiteral("plain.png"));
    EXPECT_EQ(PhotoUsageLabel(QStringLiteral("/a/B.jpg"), 12), QStringLiteral("b.jpg\r\n选中12次"));
}

} // namespace
