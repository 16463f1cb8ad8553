#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
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
// Draws the background of a page of page pixels onto an image of image
// pixels, stretched to it; the shapes are drawn at the image's own
// resolution, so a layer stored at other proportions than its page's stays
// as sharp as its pixels allow.
QImage DrawBackground(const Theme& theme, QSizeF page, QSize image);
