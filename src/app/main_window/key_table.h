#pragma once

#include "compose/canvas_operation.h"

#include <QtGlobal>

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
    // The slot digit of the key pressed (SlotDigitOfKey), 0 for none.
    int digit = 0;
};

// key: a Qt::Key value; the slot keys are told by state.digit.
KeyAction MapMainWindowKey(int key, KeyState state);

// The slot digit 1 to 9 of a key, told by the key itself: the top-row digit
// keys, whatever symbol the layout and Shift give them, and the keypad
// digits; 0 for every other key. scanCode is the platform's key code (X11
// and Wayland: evdev code + 8), 0 where the platform gives none; keypad is
// the event's keypad flag.
int SlotDigitOfKey(int key, quint32 scanCode, bool keypad);
