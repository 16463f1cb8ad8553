#pragma once

#include "templates/thumbnail_cell.h"

#include <QImage>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <memory>

// Draws the cells of one icon list off the thread that owns the loader (the
// window's thread). The window inserts its labels itself, all at once, and
// shows each cell as CellReady hands it over; it never waits for a picture.
//
// A run is numbered by its generation. Refresh always starts a new run:
// one still going is cancelled and nothing more of it is delivered, so the
// list ends up showing the newest list even after a quick second click.
// Cells are drawn on a few worker threads at once (large photo folders load
// in a fraction of the time); each cell carries its position, so they may
// arrive out of order. Workers never touch the loader's receivers: they
// post to the loader, which drops what belongs to a run no longer current.
class ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    explicit ThumbnailLoader(ThumbnailSource source, QObject* parent = nullptr);
    // Cancels the run and waits for its workers, each of which finishes at
    // most the one cell it is drawing.
    ~ThumbnailLoader() override;

    // Starts drawing the cells of paths (position i is paths[i]) and returns
    // the run's generation. A run still going is cancelled first. Every
    // position gets one CellReady (the blank cell when its file cannot be
    // read), then Finished follows; an empty list gives Finished alone.
    int Refresh(const QStringList& paths);
    // Cancels the run without waiting for its workers: no CellReady and no
    // Finished of it arrive after Stop returns. Nothing when idle.
    void Stop();
    // From Refresh until Finished is emitted or Stop is called.
    bool IsRunning() const { return running_; }
    // Customer photos: whether runs started from now on also look for the
    // faces in each photo (MakeThumbnailCell).
    void SetScanFaces(bool scan) { scanFaces_ = scan; }

signals:
    // Emitted on the loader's thread, for the current run only.
    void CellReady(int generation, int position, const QImage& cell);
    // The current run has delivered its last cell.
    void Finished(int generation);

private:
    struct Run;

    void Cancel();
    void Work(const std::shared_ptr<Run>& run);
    void DeliverCell(int generation, int position, const QImage& cell);
    void EndRun(int generation);

    const ThumbnailSource source_;
    // The loader's own threads: the three lists never wait for each other.
    QThreadPool pool_;
    std::shared_ptr<Run> run_;
    int generation_ = 0;
    bool running_ = false;
    bool scanFaces_ = false;
};
