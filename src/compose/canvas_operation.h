#pragma once

class CComposeCanvas;

// Every edit the operator can give the canvas, by key, wheel, mouse or
// toolbar cell. The main window turns its input into one of these and hands
// it to RunCanvasOperation, the one place that calls the canvas's editing.
enum class CanvasOperation {
    NudgeLeft,
    NudgeRight,
    NudgeUp,
    NudgeDown,
    EnlargeFine,
    ShrinkFine,
    EnlargeCoarse,
    ShrinkCoarse,
    MirrorX,
    MirrorY,
    Rotate270,
    Rotate90,
    RotateMinus2,
    RotatePlus2,
    ResetSlot,
    RemovePhoto,
    ClickSlot, // the slot index is the operation's argument
};

// The operation of a canvas toolbar cell 0..12.
CanvasOperation ToolbarCellOperation(int cell);
constexpr int kToolbarCellCount = 13;

// locked: the lock-portrait state at the moment of the operation (moves and
// size changes act on the photo inside its slot, else on the slot itself).
void RunCanvasOperation(CComposeCanvas& canvas, CanvasOperation op, bool locked, int argument = 0);
