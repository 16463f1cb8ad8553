#include "templates/thumbnail_loader.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Cell {
    int generation;
    int position;
    QImage image;
};

// Everything a loader hands to the window's thread, in arrival order.
class Recorder {
public:
    explicit Recorder(ThumbnailLoader& loader) {
        QObject::connect(&loader, &ThumbnailLoader::CellReady, &context_,
                         [this](int generation, int position, const QImage& image) {
                             cells.push_back({generation, position, image});
                         });
        QObject::connect(&loader, &ThumbnailLoader::Finished, &context_, [this](int generation) {
            finished.push_back({generation, static_cast<int>(cells.size())});
        });
    }

    // Runs the event loop until done says so; false after a minute without.
    static bool WaitFor(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > 60000)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            QThread::msleep(1);
        }
        return true;
    }
    bool WaitFinished(int generation) {
        return WaitFor([&] {
            for (const auto& f : finished)
                if (f.first == generation)
                    return true;
            return false;
        });
    }

    std::vector<Cell> cells;
    // Generation, and how many cells had arrived when it finished.
    std::vector<std::pair<int, int>> finished;

private:
    QObject context_;
};

QRgb Centre(const QImage& cell) {
    return cell.pixel(37, 42);
}

// Writes a one-colour picture and returns its path.
QString SolidFile(const TestFolder& folder, const QString& name, QSize size, QRgb colour,
                  const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = folder.file(name);
    EXPECT_TRUE(WriteBytes(path, EncodeImage(image, format)));
    return path;
}

const QRgb kRed = qRgb(230, 20, 20);
const QRgb kBlue = qRgb(20, 20, 230);
const QRgb kGreen = qRgb(20, 200, 20);
const QRgb kWhite = qRgb(255, 255, 255);

TEST(ThumbnailLoader, EveryPositionGetsOneCellThenFinished) {
    TestFolder folder;
    const QString red = SolidFile(folder, "red.png", {40, 40}, kRed, "PNG");
    const QString blue = SolidFile(folder, "blue.jpg", {64, 48}, kBlue, "JPEG");
    ASSERT_TRUE(WriteBytes(folder.file("broken.jpg"), "no picture"));
    const QStringList paths{red, folder.file("broken.jpg"), folder.file("missing.jpg"), blue, red};

    ThumbnailLoader loader(ThumbnailSource::ImageFile);
    Recorder recorder(loader);
    const int generation = loader.Refresh(paths);
    EXPECT_TRUE(loader.IsRunning());
    ASSERT_TRUE(recorder.WaitFinished(generation));
    EXPECT_FALSE(loader.IsRunning());

    ASSERT_EQ(recorder.cells.size(), 5u);
    ASSERT_EQ(recorder.finished.size(), 1u);
    EXPECT_EQ(recorder.finished[0].second, 5); // after the last cell
    std::vector<QRgb> centres(5, 0);
    for (const Cell& cell : recorder.cells) {
        EXPECT_EQ(cell.generation, generation);
        ASSERT_TRUE(cell.position >= 0 && cell.position < 5);
        EXPECT_EQ(centres[cell.position], 0u) << "twice: " << cell.position;
        centres[cell.position] = Centre(cell.image);
    }
    const QRgb expected[] = {kRed, kWhite, kWhite, kBlue, kRed};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Near(centres[i], expected[i])) << i;

    // After unreadable files the list takes the next refresh; an empty list
    // finishes without cells.
    const int empty = loader.Refresh({});
    EXPECT_NE(empty, generation);
    ASSERT_TRUE(recorder.WaitFinished(empty));
    EXPECT_EQ(recorder.cells.size(), 5u);
    EXPECT_FALSE(loader.IsRunning());
}

// A run long enough to be interrupted: the same photo many times.
QStringList LongRun(const TestFolder& folder, int count) {
    const QString photo = SolidFile(folder, "green.jpg", {2400, 1600}, kGreen, "JPEG");
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(photo);
    return paths;
}

TEST(ThumbnailLoader, RefreshDuringARunEndsWithTheNewestList) {
    TestFolder folder;
    const QStringList first = LongRun(folder, 200);
    const QStringList newest{SolidFile(folder, "red.png", {40, 40}, kRed, "PNG"),
                             SolidFile(folder, "blue.png", {40, 40}, kBlue, "PNG")};

    ThumbnailLoader loader(ThumbnailSource::ImageFile);
    Recorder recorder(loader);
    const int old = loader.Refresh(first);
    ASSERT_TRUE(Recorder::WaitFor([&] { return !recorder.cells.empty(); }));
    ASSERT_TRUE(loader.IsRunning());
    const size_t before = recorder.cells.size();
    const int current = loader.Refresh(newest);
    ASSERT_NE(current, old);
    ASSERT_TRUE(recorder.WaitFinished(current));

    EXPECT_EQ(recorder.finished, (std::vector<std::pair<int, int>>{
                                     {current, static_cast<int>(recorder.cells.size())}}));
    ASSERT_EQ(recorder.cells.size() - before, 2u);
    for (size_t i = before; i < recorder.cells.size(); ++i) {
        const Cell& cell = recorder.cells[i];
        EXPECT_EQ(cell.generation, current);
        EXPECT_TRUE(Near(Centre(cell.image), cell.position == 0 ? kRed : kBlue)) << cell.position;
    }
}

TEST(ThumbnailLoader, StopDuringALongRunDeliversNothingMoreOfIt) {
    TestFolder folder;
    const QStringList many = LongRun(folder, 300);
    const QStringList next{SolidFile(folder, "red.png", {40, 40}, kRed, "PNG"),
                           SolidFile(folder, "blue.png", {40, 40}, kBlue, "PNG")};

    ThumbnailLoader loader(ThumbnailSource::ImageFile);
    Recorder recorder(loader);
    const int stopped = loader.Refresh(many);
    ASSERT_TRUE(Recorder::WaitFor([&] { return !recorder.cells.empty(); }));
    loader.Stop();
    EXPECT_FALSE(loader.IsRunning());
    const size_t atStop = recorder.cells.size();
    EXPECT_LT(atStop, 300u);

    // Whatever its workers still finish is dropped, and the next run is
    // served in full.
    const int current = loader.Refresh(next);
    ASSERT_TRUE(recorder.WaitFinished(current));
    ASSERT_EQ(recorder.cells.size(), atStop + 2);
    for (size_t i = atStop; i < recorder.cells.size(); ++i)
        EXPECT_EQ(recorder.cells[i].generation, current);
    for (const auto& f : recorder.finished)
        EXPECT_NE(f.first, stopped);

    // A loader destroyed in the middle of a run waits for its workers, which
    // leave their posted cells to nobody.
    auto doomed = std::make_unique<ThumbnailLoader>(ThumbnailSource::ImageFile);
    Recorder late(*doomed);
    doomed->Refresh(many);
    ASSERT_TRUE(Recorder::WaitFor([&] { return !late.cells.empty(); }));
    const size_t atDestruction = late.cells.size();
    doomed.reset();
    QElapsedTimer settle;
    settle.start();
    Recorder::WaitFor([&] { return settle.elapsed() > 100; });
    EXPECT_EQ(late.cells.size(), atDestruction);
}

} // namespace
