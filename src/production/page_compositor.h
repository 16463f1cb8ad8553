#pragma once

#include <QSize>
#include <QString>

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

// Renders a page at its full size W x H from its layout record, its slot
// records and its optional "dat2", and writes "big<name>.jpg" at quality 100
// with dpi in both directions. canvasFallback is the canvas size used for a
// page that was saved without its own.
PageOutcome ComposePage(const TaskPage& page, const QString& customerFolder, int dpi,
                        QSize canvasFallback, PageProgress& progress, QString* imagePath);
