#pragma once

#include <QSize>
#include <QString>

// Slot rectangles are stored in pixels of the canvas they were made on, so a
// saved page keeps that canvas's client size beside its layout record, in
// the text file "canvas" ("W H") of the page's data folder.
bool WriteCanvasSizeFile(const QString& dataFolder, QSize clientSize);
// Invalid QSize when the file is missing or does not hold two positive numbers.
QSize ReadCanvasSizeFile(const QString& dataFolder);

// The client size the desktop program last gave its canvas (profile section
// "layout", value "canvas"); 1000 x 750 when none was recorded.
QSize LastCanvasSize();
void RecordCanvasSize(QSize clientSize);
