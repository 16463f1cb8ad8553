#pragma once

#include <QColor>

// The colours every window of the program shares.
namespace Theme {
inline const QColor kDialogBackground{197, 226, 243};
inline const QColor kDialogText{0, 0, 0};
inline const QColor kButtonBorder{0, 0, 0};
// Hovered button frame: left, right, top, bottom edge.
inline const QColor kHoverLeft{250, 196, 88};
inline const QColor kHoverRight{251, 202, 106};
inline const QColor kHoverTop{252, 210, 121};
inline const QColor kHoverBottom{229, 151, 0};
inline const QColor kGroupFrame{255, 255, 255};
inline const QColor kGroupCaption{0, 0, 0};
inline const QColor kGroupCaptionDisabled{165, 162, 148};
inline const QColor kProgressBar{30, 30, 212};
inline const QColor kProgressBackground{255, 255, 255};
inline const QColor kProgressBorder{255, 255, 255};
inline const QColor kHeaderTopLine{0, 0, 0};
inline const QColor kHeaderEdge{240, 251, 253};
inline const QColor kHeaderFace{66, 157, 208};
inline const QColor kHeaderCaption{255, 255, 255};
// The classic raised-edge pair: embossed (disabled) text and the sort arrow
// of list headers.
inline const QColor kEdgeHighlight{255, 255, 255};
inline const QColor kEdgeShadow{160, 160, 160};
// Icons of the canvas toolbar: the glyph and the lighter half of the
// mirror icons.
inline const QColor kToolbarGlyph{28, 64, 112};
inline const QColor kToolbarGlyphLight{150, 196, 228};
// Rows of the order list and the sortable lists.
inline const QColor kRowOdd{140, 197, 231};
inline const QColor kRowEven{173, 214, 238};

// The button face gradient: white at step 0, RGB(240, 240, 243) at step 63.
inline QColor ButtonGradientStep(int step) {
    return QColor(255 - step / 4, 255 - step / 4, 255 - step / 5);
}
} // namespace Theme
