#include "app/main_window/key_table.h"

#include <Qt>

namespace {
KeyAction Consumed(KeyAction::Command command = KeyAction::None) {
    KeyAction a;
    a.command = command;
    a.consumed = true;
    return a;
}

KeyAction Edit(CanvasOperation op, bool consumed = true, int argument = 0) {
    KeyAction a;
    a.command = KeyAction::Canvas;
    a.op = op;
    a.argument = argument;
    a.consumed = consumed;
    return a;
}

// Ctrl with the key runs command; without Ctrl the key is swallowed all
// the same, so a stray letter never reaches a list.
KeyAction WithCtrl(bool ctrl, KeyAction action) {
    return ctrl ? action : Consumed();
}
} // namespace

KeyAction MapMainWindowKey(int key, KeyState s) {
    using Op = CanvasOperation;
    switch (key) {
    case Qt::Key_Left:
        if (s.ctrl)
            return Edit(s.shift ? Op::RotateMinus2 : Op::MirrorX);
        return Edit(Op::NudgeLeft);
    case Qt::Key_Right:
        if (s.ctrl)
            return Edit(s.shift ? Op::RotatePlus2 : Op::Rotate90);
        return Edit(Op::NudgeRight);
    case Qt::Key_Up:
        return Edit(s.ctrl ? Op::MirrorY : Op::NudgeUp);
    case Qt::Key_Down:
        return Edit(s.ctrl ? Op::Rotate270 : Op::NudgeDown);
    case Qt::Key_Delete:
        return Edit(Op::RemovePhoto, false);
    case Qt::Key_O:
        return WithCtrl(s.ctrl, Consumed(KeyAction::OpenTaskFile));
    case Qt::Key_S:
        return WithCtrl(s.ctrl, Consumed(KeyAction::SavePage));
    case Qt::Key_Z:
        return WithCtrl(s.ctrl, Edit(Op::ResetSlot));
    case Qt::Key_Q:
        return WithCtrl(s.ctrl, Consumed(KeyAction::Quit));
    case Qt::Key_N:
        return Consumed();
    // The "=" key (with or without Shift) and keypad plus.
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return WithCtrl(s.ctrl, Edit(Op::EnlargeFine));
    // The "-" key (with or without Shift) and keypad minus.
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return WithCtrl(s.ctrl, Edit(Op::ShrinkFine));
    case Qt::Key_F3:
        return (s.ctrl && s.shift) ? Consumed(KeyAction::TemplateTestRun) : Consumed();
    case Qt::Key_F5:
        return Consumed(KeyAction::Preview);
    case Qt::Key_Escape:
    case Qt::Key_F1:
        return Consumed();
    // Keys no command of the window uses, so taking an edit back never
    // changes what another key does.
    case Qt::Key_Backspace:
        if (s.alt && !s.ctrl)
            return Consumed(KeyAction::Undo);
        break;
    case Qt::Key_Y:
        if (s.ctrl && !s.alt)
            return Consumed(KeyAction::Redo);
        break;
    default:
        break;
    }
    if (s.digit >= 1 && s.digit <= 9)
        return Edit(Op::ClickSlot, false, s.digit - 1);
    return {};
}

int SlotDigitOfKey(int key, quint32 scanCode, bool keypad) {
    // Key codes of the top-row keys "1" to "9" (evdev 2 to 10).
    constexpr quint32 kTopRowOne = 10, kTopRowNine = 18;
    if (!keypad && scanCode >= kTopRowOne && scanCode <= kTopRowNine)
        return static_cast<int>(scanCode - kTopRowOne) + 1;
    // The keypad gives digits only with Num Lock on (its arrows otherwise);
    // a platform without key codes is trusted with the digit it reports.
    if ((keypad || scanCode == 0) && key >= Qt::Key_1 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    return 0;
}
