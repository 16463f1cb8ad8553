#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QString>

class QWidget;

// The widget as the operator sees it, at one pixel per logical pixel.
QImage GrabImage(QWidget* widget);
// The colour at p; when it is not near expected, the image is written to
// the test output folder under name so the failure can be looked at.
bool PixelNear(const QImage& image, QPoint p, QRgb expected, const QString& name,
               int tolerance = 12);
