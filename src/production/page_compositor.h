#pragma once

#include "raster/rect.h"
#include "compose/slot_placement.h"
#include "compose/template_body.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <memory>

class IProgressRun;
struct TaskPage;

// Reports one page's progress values to the run's current bar, in the order
// and with the values of the page schedule.
class PageProgress {
public:
    PageProgress(IProgressRun* run, int position, int step)
        : run_(run), i_(position), step_(step) {}
    void SetRects(int rects) { rects_ = rects; }
    void At(double f);
    void AfterPhoto(int k);
    void AfterSlot(int slot);

private:
    IProgressRun* run_;
    int i_, step_;
    int rects_ = 0;
};

enum class PageOutcome {
    Written,     // "big<name>.jpg" holds the page
    NotSaved,    // rendered, but the image could not be written (the old
                 // file, if any, is left whole)
    Skipped,     // nothing written; the caller reports the page as done
    NoMarker,    // the layout record's body lacks its marker: stop the task
    OutOfMemory, // the run must end
};

struct PageFiles {
    QString image;      // <folder>/big<name>.jpg
    QString dataFolder; // <folder>/data<name>
    QString record() const { return dataFolder + "/dat"; }
    QString extra() const { return dataFolder + "/dat2"; }
};
// False when the page's name cannot form a path inside the customer folder.
bool PageFilesFor(const QString& customerFolder, const QString& pageName, PageFiles& files);

// A page read from its files, with its photos decoded, cut, mirrored and
// masked on every core: all ComposePage does before it draws. Nothing has
// been reported yet, so a page can be prepared while the page before it is
// still being written, and its schedule values follow once that one is done.
struct PreparedPage {
    struct Slot {
        bool hasPhoto = false; // its photo decoded, whether or not anything shows
        QImage image;
        Rect draw;
    };
    PageOutcome outcome = PageOutcome::Skipped; // Written: ready to draw
    bool started = false;                       // the page bitmap exists; the page's schedule began
    int rects = 0;                              // slot rectangles of the template
    int photoEntries = 0;
    bool overlayOk = false;
    bool backgroundOk = false;
    PageFiles files;
    QImage page; // W x H, allocated but not yet drawn
    QImage extra, overlay, background;
    std::array<SlotPlacement, kSlotCount> placements;
    std::array<Slot, kSlotCount> cut; // per slot: its photo, ready to draw
};

// canvasFallback is the canvas size used for a page that was saved without
// its own. Only std::bad_alloc escapes.
std::unique_ptr<PreparedPage> PreparePage(const TaskPage& page, const QString& customerFolder,
                                          QSize canvasFallback);
// Reports the schedule values of the preparation, in order, and tells
// whether the page goes on to be drawn (outcome Written).
PageOutcome ReportPrepared(const PreparedPage& prepared, PageProgress& progress);
// Draws every layer of a prepared page (horizontal bands on every core) and
// reports the drawing's schedule values; the photos are released.
void DrawPreparedPage(PreparedPage& prepared, PageProgress& progress);
// Writes the drawn page as "big<name>.jpg" at quality 100 with dpi in both
// directions; the page bitmap is released.
PageOutcome WritePreparedPage(PreparedPage& prepared, int dpi, PageProgress& progress,
                              QString* imagePath);

// The three steps above for one page: renders it at its full size W x H
// from its layout record, its slot records and its optional "dat2".
PageOutcome ComposePage(const TaskPage& page, const QString& customerFolder, int dpi,
                        QSize canvasFallback, PageProgress& progress, QString* imagePath);
