#pragma once

// Template bodies, photos and masks for the canvas tests, built from real
// PNG, JPEG and BMP bytes.

#include "compose/compose_canvas.h"
#include "compose/template_body.h"

#include "test_support.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

QImage SolidImage(int w, int h, const QColor& color);
QByteArray SolidPng(int w, int h, const QColor& color);
QByteArray SolidJpeg(int w, int h, const QColor& color);

// A PNG with a transparent ground and an opaque band of the colour over the
// rows [bandTop, bandBottom) of a w x h picture.
QByteArray BandOverlayPng(int w, int h, int bandTop, int bandBottom, const QColor& color);

// A complete 8-bit grey BMP (1078-byte header, bottom-up padded rows) whose
// pixel at column x, row y (top row 0) is grey(x, y).
QByteArray GreyMaskBmp(int w, int h, int (*grey)(int x, int y));

// A template of 4:3 layers (background 400 x 300) with the given slot
// rectangles on the 1000 x 750 grid; preview and overlay optional.
TemplateBody MakeTemplate(const QList<TemplateRect>& rects, const QColor& background,
                          const QColor& preview = QColor(), const QByteArray& overlay = {});

// Writes bytes to a file of the folder and returns its path.
QString WriteFile(const TestFolder& folder, const QString& name, const QByteArray& bytes);

// The pixel of the back buffer at display coordinates.
QRgb Pixel(const CComposeCanvas& canvas, int x, int y);

// Counts the popup's appearances.
class RecordingBusy : public IBusyIndicator {
public:
    void Show() override { ++shown; }
    void Hide() override { ++hidden; }
    int shown = 0, hidden = 0;
};
