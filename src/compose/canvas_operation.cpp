#include "compose/canvas_operation.h"

#include "compose/compose_canvas.h"

CanvasOperation ToolbarCellOperation(int cell) {
    static constexpr CanvasOperation kCells[kToolbarCellCount] = {
        CanvasOperation::NudgeLeft, CanvasOperation::NudgeRight,   CanvasOperation::NudgeUp,
        CanvasOperation::NudgeDown, CanvasOperation::EnlargeFine,  CanvasOperation::ShrinkFine,
        CanvasOperation::MirrorX,   CanvasOperation::MirrorY,      CanvasOperation::Rotate270,
        CanvasOperation::Rotate90,  CanvasOperation::RotateMinus2, CanvasOperation::RotatePlus2,
        CanvasOperation::ResetSlot};
    return kCells[cell];
}

void RunCanvasOperation(CComposeCanvas& canvas, CanvasOperation op, bool locked, int argument) {
    switch (op) {
    case CanvasOperation::NudgeLeft:
        canvas.NudgeLeft(locked);
        break;
    case CanvasOperation::NudgeRight:
        canvas.NudgeRight(locked);
        break;
    case CanvasOperation::NudgeUp:
        canvas.NudgeUp(locked);
        break;
    case CanvasOperation::NudgeDown:
        canvas.NudgeDown(locked);
        break;
    case CanvasOperation::EnlargeFine:
        canvas.Enlarge(false, locked);
        break;
    case CanvasOperation::ShrinkFine:
        canvas.Shrink(false, locked);
        break;
    case CanvasOperation::EnlargeCoarse:
        canvas.Enlarge(true, locked);
        break;
    case CanvasOperation::ShrinkCoarse:
        canvas.Shrink(true, locked);
        break;
    case CanvasOperation::MirrorX:
        canvas.MirrorX();
        break;
    case CanvasOperation::MirrorY:
        canvas.MirrorY();
        break;
    case CanvasOperation::Rotate270:
        canvas.Rotate(270);
        break;
    case CanvasOperation::Rotate90:
        canvas.Rotate(90);
        break;
    case CanvasOperation::RotateMinus2:
        canvas.Rotate(-2);
        break;
    case CanvasOperation::RotatePlus2:
        canvas.Rotate(2);
        break;
    case CanvasOperation::ResetSlot:
        canvas.ResetSlot();
        break;
    case CanvasOperation::RemovePhoto:
        canvas.RemovePhoto();
        break;
    case CanvasOperation::ClickSlot:
        canvas.ClickSlot(argument);
        break;
    }
}
