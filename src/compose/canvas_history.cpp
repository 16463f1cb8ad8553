#include "compose/canvas_history.h"

void CanvasHistory::Follow(const CComposeCanvas& canvas) {
    if (canvas.layoutGeneration() == generation_)
        return;
    Clear();
    generation_ = canvas.layoutGeneration();
}

void CanvasHistory::Clear() {
    undo_.clear();
    redo_.clear();
    open_ = false;
}

void CanvasHistory::Edit(CComposeCanvas& canvas, const std::function<void()>& edit,
                         CanvasEditInput input) {
    Follow(canvas);
    CComposeCanvas::EditState before = canvas.CaptureEditState();
    edit();
    // An edit that loaded something else starts a history of its own.
    if (canvas.layoutGeneration() != generation_) {
        Follow(canvas);
        return;
    }
    CComposeCanvas::EditState after = canvas.CaptureEditState();
    if (after.SamePage(before))
        return; // a selection, or an edit refused at an edge: nothing to take back
    redo_.clear();
    const bool continues = open_ && input.repeat && input.kind >= 0 && input.kind == last_.kind &&
                           input.timeMs >= last_.timeMs &&
                           input.timeMs - last_.timeMs <= kRepeatWindowMs && !undo_.empty();
    if (continues) {
        undo_.back().after = std::move(after);
    } else {
        undo_.push_back(Step{std::move(before), std::move(after)});
        if (undo_.size() > kMaxSteps)
            undo_.pop_front();
    }
    open_ = true;
    last_ = input;
}

bool CanvasHistory::Undo(CComposeCanvas& canvas) {
    Follow(canvas);
    open_ = false;
    if (undo_.empty())
        return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    canvas.RestoreEditState(step.before);
    redo_.push_back(std::move(step));
    return true;
}

bool CanvasHistory::Redo(CComposeCanvas& canvas) {
    Follow(canvas);
    open_ = false;
    if (redo_.empty())
        return false;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    canvas.RestoreEditState(step.after);
    undo_.push_back(std::move(step));
    return true;
}
