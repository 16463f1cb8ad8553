#pragma once

#include <QImage>
#include <QString>

// The QR code of a text (a review's link), black on white with the quiet
// zone of four modules around it, each module moduleSize pixels square.
// Null when the text does not fit a QR code.
QImage QrCodeImage(const QString& text, int moduleSize = 6);
