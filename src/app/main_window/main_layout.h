#pragma once

#include <QMap>
#include <QRect>
#include <QSize>

// Where every control of the main window goes for a client size. The one
// place of the window's geometry: the window only applies it, tests check
// it without a window.
struct MainLayout {
    QMap<int, QRect> controls; // by control id
    // The canvas window, already one pixel inside the white frame.
    QRect canvas;
    // Pixels the row below the canvas had to be raised to fit (normally 0).
    int overflow = 0;

    // The white frame painted around the canvas.
    QRect CanvasFrame() const { return canvas.adjusted(-1, -1, 1, 1); }
};

// checkBoxWidth: the lock check box's own width.
MainLayout ComputeMainLayout(QSize client, int checkBoxWidth);
