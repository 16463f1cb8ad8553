#pragma once

#include "compose/canvas_operation.h"

// What a key pressed anywhere in the main window does, decided before the
// focused control sees it.
struct KeyAction {
    enum Command {
        None,         // nothing of the window's own
        Canvas,       // the canvas operation op (with argument)
        OpenTaskFile, // Ctrl+O
        SavePage,     // Ctrl+S
        Quit,         // Ctrl+Q
        TemplateTestRun,
        Preview, // F5
        Undo,    // Alt+Backspace: takes the last canvas edit back
        Redo,    // Ctrl+Y: gives it again
    };
    Command command = None;
    CanvasOperation op = CanvasOperation::NudgeLeft;
    int argument = 0;
    // Consumed keys never reach the focused control (arrows never move a
    // list's selection); the others go on to normal handling afterwards.
    bool consumed = false;
};

struct KeyState {
    bool ctrl = false;
    // Either Shift key, F2 held, or the lock-portrait box ticked.
    bool shift = false;
    bool alt = false;
};

// key: a Qt::Key value. A digit typed with Shift held arrives as the symbol
// on its key (US layout); it still selects its slot.
KeyAction MapMainWindowKey(int key, KeyState state);
