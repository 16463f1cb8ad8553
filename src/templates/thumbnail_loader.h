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
//
// A customer photo's cell comes from the thumbnail cache or the photo's
// EXIF thumbnail where it can, which is what lets a shoot of thousands of
// photos appear in seconds; what putting a photo into a slot needs (its
// working copy and faces) is made by Prepare afterwards, in the background.
class ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    explicit ThumbnailLoader(ThumbnailSource source, QObject* parent = nullptr);
    // Cancels the run and the pass and waits for their workers, each of
    // which finishes at most the one photo it is working on.
    ~ThumbnailLoader() override;

    // Starts drawing the cells of paths (position i is paths[i]) and returns
    // the run's generation. A run still going is cancelled first. Every
    // position gets one CellReady (the blank cell when its file cannot be
    // read), then Finished follows; an empty list gives Finished alone.
    int Refresh(const QStringList& paths);
    // Cancels the run (and any pass of Prepare) without waiting for its
    // workers: no CellReady and no Finished of it arrive after Stop returns.
    // Nothing when idle.
    void Stop();
    // From Refresh until Finished is emitted or Stop is called.
    bool IsRunning() const { return running_; }
    // Customer photos: makes what putting each photo of paths into a slot
    // needs (PrepareForCanvas), in their order, on threads of low priority,
    // for as many photos as the working copies' cache holds (copies kept
    // already count, so the pass never pushes out its own). Meant for once
    // the cells are drawn. Cancelled by the next Prepare, Refresh or Stop
    // and by the loader's end, each of which waits for none of it. Nothing
    // for the other lists.
    void Prepare(const QStringList& paths);
    // From Prepare until Prepared is emitted or the pass is cancelled.
    bool IsPreparing() const { return preparing_; }
    // Customer photos: whether passes started from now on also look for the
    // faces in each photo (FindFacesInPicture).
    void SetScanFaces(bool scan) { scanFaces_ = scan; }

signals:
    // Emitted on the loader's thread, for the current run only.
    void CellReady(int generation, int position, const QImage& cell);
    // The current run has delivered its last cell.
    void Finished(int generation);
    // The current pass of Prepare went through every photo it took on.
    void Prepared();

private:
    struct Run;
    struct Pass;

    void Cancel();
    void CancelPass();
    void Work(const std::shared_ptr<Run>& run);
    void DeliverCell(int generation, int position, const QImage& cell);
    void EndRun(int generation);
    void PlanPass(const std::shared_ptr<Pass>& pass);
    void WorkPass(const std::shared_ptr<Pass>& pass);
    void EndPass(int number);

    const ThumbnailSource source_;
    // The loader's own threads: the three lists never wait for each other.
    QThreadPool pool_;
    // The background pass's threads, at low priority for as long as they live.
    QThreadPool backgroundPool_;
    std::shared_ptr<Run> run_;
    std::shared_ptr<Pass> pass_;
    int generation_ = 0;
    int passNumber_ = 0;
    bool running_ = false;
    bool preparing_ = false;
    bool scanFaces_ = false;
};
