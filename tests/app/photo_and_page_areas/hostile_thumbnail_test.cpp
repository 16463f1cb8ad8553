// Hostile pictures among the customer photos: the window keeps handling
// events while the thumbnail loader works on them, the other photos' cells
// appear, and each hostile one is shown as the blank cell of an unreadable
// file.

#include "app/main_window/control_ids.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app_fixture.h"
#include "hostile_images.h"
#include "widget_support.h"

#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using namespace ControlId;

// A named pipe posing as a photo: the loader's worker reading it waits until
// the test writes it, so the loader is provably still at work meanwhile.
class PipePhoto {
public:
    explicit PipePhoto(const QString& path) : path_(QFile::encodeName(path)) {
        made_ = ::mkfifo(path_.constData(), 0600) == 0;
    }
    // Whatever happened, no worker is left waiting for a writer.
    ~PipePhoto() {
        const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
    bool made() const { return made_; }

private:
    QByteArray path_;
    bool made_ = false;
};

QImage CellOf(QListWidgetItem* entry) {
    return entry->icon()
        .pixmap(kThumbnailWidth, kThumbnailHeight)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

TEST_F(MainWindowTest, HostilePhotosAreRefusedWhileTheWindowKeepsWorking) {
    const QString pipePath = base.file("slow.jpg");
    PipePhoto pipe(pipePath);
    ASSERT_TRUE(pipe.made());
    const QStringList hostile{base.file("claim.jpg"), base.file("scans.jpg"),
                              base.file("flat.png")};
    ASSERT_TRUE(WriteBytes(hostile[0], ForgedProgressiveJpeg(15000, 16000, 200)));
    ASSERT_TRUE(WriteBytes(hostile[1], ForgedProgressiveJpeg(1000, 1000, 20000)));
    ASSERT_TRUE(WriteBytes(hostile[2], FlatPng(15000, 16000, 1, 1)));

    auto* photos = static_cast<CThumbnailList*>(window->control(PhotoList));
    QTRY_VERIFY(!photos->IsLoading());
    const int customerPhotos = photos->count();
    ASSERT_GT(customerPhotos, 0);
    // The pipe last: every other entry is taken by a worker before it.
    window->SetPhotoChooser([&] { return hostile + QStringList{pipePath}; });
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(0);
    QTest::mouseClick(static_cast<QWidget*>(window->control(ImportPhotos)), Qt::LeftButton);
    ASSERT_EQ(photos->count(), customerPhotos + 4);
    const qint64 placeholder = photos->item(0)->icon().cacheKey();

    // Every entry but the pipe gets its cell while the loader still waits.
    const auto arrived = [&](int i) { return photos->item(i)->icon().cacheKey() != placeholder; };
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (int i = 0; i < customerPhotos + 3; ++i)
                if (!arrived(i))
                    return false;
            return true;
        }(),
        60000);
    EXPECT_TRUE(photos->IsLoading());
    EXPECT_FALSE(arrived(customerPhotos + 3));
    EXPECT_GT(ticks, 0) << "the event loop ran while the loader worked";
    // A click is handled meanwhile: a template goes onto the canvas.
    auto* templates = static_cast<CThumbnailList*>(window->control(TemplateList));
    ASSERT_GT(templates->count(), 0);
    QTest::mouseClick(templates->viewport(), Qt::LeftButton, {},
                      templates->visualItemRect(templates->item(0)).center());
    EXPECT_TRUE(window->canvas().HasTemplate());
    EXPECT_TRUE(photos->IsLoading());

    const QImage blank = DrawThumbnailCell(QImage()).convertToFormat(QImage::Format_RGB32);
    for (int i = 0; i < customerPhotos; ++i)
        EXPECT_NE(CellOf(photos->item(i)), blank) << "customer photo " << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(CellOf(photos->item(customerPhotos + i)), blank) << hostile[i].toStdString();

    // The pipe delivers a hostile picture too: refused, and the run ends.
    std::thread writer([&] { WriteBytes(pipePath, ForgedProgressiveJpeg(16000, 16000, 200)); });
    QTRY_VERIFY_WITH_TIMEOUT(!photos->IsLoading(), 60000);
    writer.join();
    EXPECT_TRUE(arrived(customerPhotos + 3));
    EXPECT_EQ(CellOf(photos->item(customerPhotos + 3)), blank);
}

TEST_F(MainWindowTest, RemovingAPhotoWhileCellsLoadKeepsEveryCellOnItsOwnPhoto) {
    auto* photos = static_cast<CThumbnailList*>(window->control(PhotoList));
    QTest::mouseClick(static_cast<QWidget*>(window->control(ClearPhotos)), Qt::LeftButton);
    // Every photo a pipe: no cell arrives before the removal below.
    const QList<QRgb> colours{qRgb(220, 30, 30), qRgb(30, 200, 40), qRgb(40, 60, 220),
                              qRgb(230, 220, 40), qRgb(20, 20, 20)};
    QStringList paths;
    std::vector<std::unique_ptr<PipePhoto>> pipes;
    for (int i = 0; i < colours.size(); ++i) {
        paths.append(base.file(QStringLiteral("p%1.jpg").arg(i)));
        pipes.push_back(std::make_unique<PipePhoto>(paths.last()));
        ASSERT_TRUE(pipes.back()->made());
    }
    window->SetPhotoChooser([&] { return paths; });
    QTest::mouseClick(static_cast<QWidget*>(window->control(ImportPhotos)), Qt::LeftButton);
    ASSERT_EQ(photos->count(), paths.size());
    ASSERT_TRUE(photos->IsLoading());
    photos->item(1)->setSelected(true);
    QTest::mouseClick(static_cast<QWidget*>(window->control(RemovePhoto)), Qt::LeftButton);
    ASSERT_EQ(photos->count(), paths.size() - 1);

    std::vector<std::thread> writers;
    for (int i = 0; i < colours.size(); ++i) {
        QImage photo(120, 90, QImage::Format_RGB32);
        photo.fill(colours[i]);
        writers.emplace_back(
            [path = paths[i], bytes = EncodeImage(photo, "JPEG")] { WriteBytes(path, bytes); });
    }
    QTRY_VERIFY_WITH_TIMEOUT(!photos->IsLoading(), 60000);
    for (std::thread& writer : writers)
        writer.join();
    const QList<int> shown{0, 2, 3, 4};
    ASSERT_EQ(window->customerPhotos().size(), shown.size());
    for (int row = 0; row < shown.size(); ++row) {
        EXPECT_EQ(window->customerPhotos().at(row), paths[shown[row]]);
        const QImage cell = CellOf(photos->item(row));
        EXPECT_TRUE(PixelNear(cell, cell.rect().center(), colours[shown[row]],
                              QStringLiteral("removed-while-loading-%1").arg(row)))
            << "row " << row;
    }
}

} // namespace
