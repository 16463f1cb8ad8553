#pragma once

#include "compose/compose_canvas.h"

#include <QtGlobal>
#include <deque>
#include <functional>

// How an edit was given: kind tells edits apart (an operation), repeat marks
// a key's automatic repeat, timeMs is the input's time stamp.
struct CanvasEditInput {
    int kind = -1;
    bool repeat = false;
    qint64 timeMs = 0;
};

// Taking back edits of the page in hand and giving them again. Every edit
// that changes the page is one step; a key held down, whose repeats follow
// each other within kRepeatWindowMs, makes one step of all its repeats. The
// history is forgotten when the canvas loads another template or page,
// clears its slots or changes size; a new edit forgets what was taken back.
class CanvasHistory {
public:
    static constexpr qint64 kRepeatWindowMs = 500;
    static constexpr size_t kMaxSteps = 200;

    // Runs edit on canvas and keeps it as a step when it changed the page.
    void Edit(CComposeCanvas& canvas, const std::function<void()>& edit,
              CanvasEditInput input = {});
    // False when there was nothing to take back (or to give again).
    bool Undo(CComposeCanvas& canvas);
    bool Redo(CComposeCanvas& canvas);
    void Clear();

    int undoSteps() const { return static_cast<int>(undo_.size()); }
    int redoSteps() const { return static_cast<int>(redo_.size()); }

private:
    struct Step {
        CComposeCanvas::EditState before, after;
    };
    // Forgets everything when the canvas no longer shows what it was made on.
    void Follow(const CComposeCanvas& canvas);

    std::deque<Step> undo_, redo_;
    int generation_ = -1;
    // The last step can take in the next repeat of the same key.
    bool open_ = false;
    CanvasEditInput last_;
};
