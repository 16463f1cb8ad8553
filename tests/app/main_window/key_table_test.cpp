// Every key of the main window: what it runs and whether the focused control
// still sees it.

#include "app/main_window/key_table.h"

#include <Qt>
#include <gtest/gtest.h>

namespace {
using Op = CanvasOperation;
using C = KeyAction::Command;

struct KeyCase {
    int key;
    bool ctrl;
    bool shift;
    C command;
    Op op;
    int argument;
    bool consumed;
};

TEST(KeyTable, EveryRow) {
    const KeyCase cases[] = {
        {Qt::Key_Left, true, true, C::Canvas, Op::RotateMinus2, 0, true},
        {Qt::Key_Left, true, false, C::Canvas, Op::MirrorX, 0, true},
        {Qt::Key_Left, false, true, C::Canvas, Op::NudgeLeft, 0, true},
        {Qt::Key_Left, false, false, C::Canvas, Op::NudgeLeft, 0, true},
        {Qt::Key_Right, true, true, C::Canvas, Op::RotatePlus2, 0, true},
        {Qt::Key_Right, true, false, C::Canvas, Op::Rotate90, 0, true},
        {Qt::Key_Right, false, true, C::Canvas, Op::NudgeRight, 0, true},
        {Qt::Key_Up, true, false, C::Canvas, Op::MirrorY, 0, true},
        {Qt::Key_Up, true, true, C::Canvas, Op::MirrorY, 0, true},
        {Qt::Key_Up, false, true, C::Canvas, Op::NudgeUp, 0, true},
        {Qt::Key_Down, true, false, C::Canvas, Op::Rotate270, 0, true},
        {Qt::Key_Down, false, false, C::Canvas, Op::NudgeDown, 0, true},
        {Qt::Key_Delete, false, false, C::Canvas, Op::RemovePhoto, 0, false},
        {Qt::Key_Delete, true, true, C::Canvas, Op::RemovePhoto, 0, false},
        {Qt::Key_0, false, false, C::None, Op::NudgeLeft, 0, false},
        {Qt::Key_O, true, false, C::OpenTaskFile, Op::NudgeLeft, 0, true},
        {Qt::Key_S, true, true, C::SavePage, Op::NudgeLeft, 0, true},
        {Qt::Key_Z, true, false, C::Canvas, Op::ResetSlot, 0, true},
        {Qt::Key_Q, true, false, C::Quit, Op::NudgeLeft, 0, true},
        {Qt::Key_Plus, true, false, C::Canvas, Op::EnlargeFine, 0, true},
        {Qt::Key_Equal, true, false, C::Canvas, Op::EnlargeFine, 0, true},
        {Qt::Key_Minus, true, false, C::Canvas, Op::ShrinkFine, 0, true},
        {Qt::Key_F3, true, true, C::TemplateTestRun, Op::NudgeLeft, 0, true},
        {Qt::Key_F5, false, false, C::Preview, Op::NudgeLeft, 0, true},
        // Consumed and doing nothing.
        {Qt::Key_F3, true, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_F3, false, true, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_N, true, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_O, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_S, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_Z, false, true, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_Q, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_N, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_Plus, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_Minus, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_Escape, false, false, C::None, Op::NudgeLeft, 0, true},
        {Qt::Key_F1, false, false, C::None, Op::NudgeLeft, 0, true},
        // Handled normally.
        {Qt::Key_A, true, false, C::None, Op::NudgeLeft, 0, false},
        {Qt::Key_Return, false, false, C::None, Op::NudgeLeft, 0, false},
        {Qt::Key_Tab, false, false, C::None, Op::NudgeLeft, 0, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "key 0x" << std::hex << c.key << " ctrl " << c.ctrl
                                          << " shift " << c.shift);
        const KeyAction a = MapMainWindowKey(c.key, KeyState{c.ctrl, c.shift});
        EXPECT_EQ(a.command, c.command);
        EXPECT_EQ(a.consumed, c.consumed);
        if (c.command == C::Canvas) {
            EXPECT_EQ(a.op, c.op);
            EXPECT_EQ(a.argument, c.argument);
        }
    }
}

// The slot keys by the key pressed, whatever the layout makes of it.
TEST(KeyTable, SlotDigitsByPhysicalKey) {
    struct DigitCase {
        int key;
        quint32 scanCode;
        bool keypad;
        int digit;
    } const cases[] = {
        {Qt::Key_1, 10, false, 1},         {Qt::Key_Percent, 14, false, 5}, // Shift+5, US layout
        {Qt::Key_Ampersand, 10, false, 1}, // "1" key, French layout
        {Qt::Key_Eacute, 11, false, 2},    // "2" key, French layout
        {Qt::Key_9, 18, false, 9},         {Qt::Key_0, 19, false, 0},
        {Qt::Key_7, 79, true, 7},        // keypad, Num Lock on
        {Qt::Key_Home, 79, true, 0},     // keypad 7, Num Lock off
        {Qt::Key_Asterisk, 63, true, 0}, // keypad "*"
        {Qt::Key_Exclam, 0, false, 0},   // a symbol without its key
        {Qt::Key_3, 0, false, 3},        // a platform without key codes
        {Qt::Key_1, 65, false, 0},       // "1" typed on another key
    };
    for (const DigitCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "key 0x" << std::hex << c.key << " code " << std::dec << c.scanCode);
        const int digit = SlotDigitOfKey(c.key, c.scanCode, c.keypad);
        EXPECT_EQ(digit, c.digit);
        for (bool shift : {false, true}) {
            const KeyAction a = MapMainWindowKey(c.key, KeyState{false, shift, false, digit});
            EXPECT_EQ(a.command, digit ? C::Canvas : C::None);
            if (digit) {
                EXPECT_EQ(a.op, Op::ClickSlot);
                EXPECT_EQ(a.argument, digit - 1);
                EXPECT_FALSE(a.consumed);
            }
        }
    }
}

TEST(KeyTable, ToolbarCellsInOrder) {
    const Op expected[kToolbarCellCount] = {
        Op::NudgeLeft,    Op::NudgeRight,  Op::NudgeUp,  Op::NudgeDown, Op::EnlargeFine,
        Op::ShrinkFine,   Op::MirrorX,     Op::MirrorY,  Op::Rotate270, Op::Rotate90,
        Op::RotateMinus2, Op::RotatePlus2, Op::ResetSlot};
    for (int cell = 0; cell < kToolbarCellCount; ++cell)
        EXPECT_EQ(ToolbarCellOperation(cell), expected[cell]) << cell;
}
} // namespace
