#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// The look of a demo template set, chosen by the name of its background
// image ("roses.jpg", "stars.jpg", ...): the colours its background, overlay
// and slot borders share, and the motif scattered over the background.
struct Theme {
    QString name;
    QColor top, bottom; // background gradient
    QColor accent;      // motif and ornaments
    QColor mat;         // paper of a mat overlay
    QColor frame;       // band of a frame overlay
    QColor line;        // fine lines round windows and frames
};

// Null when the background name has no theme.
const Theme* ThemeForBackground(const QString& fileName);
QImage DrawBackground(const Theme& theme, QSize size);
