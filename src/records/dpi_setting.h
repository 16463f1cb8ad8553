#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The output resolution, kept as text in the profile (section "Version 1.0",
// value "dpi", "254" when absent). "200" and "300" mean what they say; any
// other text counts as 254 dpi, 100 pixels per centimetre.

QString DpiText(); // the stored text, "254" when absent
void SetDpiText(const QString& text);
int CurrentDpi(); // 200, 254 or 300
int DpiFromText(const QString& text);

// Centimetres as typed (e.g. "25.5") to pixels: the whole centimetres only,
// times 7874, 10000 or 11811, divided by 100, truncated.
int CmToPixels(const QString& cmText, int dpi);
int CmToPixels(const QString& cmText); // at the current setting

// The most pixels a page may have: more than any studio print (100 x 150 cm
// at 300 dpi is 209 megapixels), while a damaged or mistyped size of tens of
// gigabytes is refused before any memory is taken for it.
constexpr qint64 kMaxPagePixels = 250000000;
inline bool AbovePageLimit(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width * height > kMaxPagePixels;
}

// Pixels back to centimetres, for size labels.
double PixelsToCm(int pixels, int dpi);
double PixelsToCm(int pixels); // at the current setting

// The choices the resolution dialog offers, in order.
QStringList DpiChoices();
// The dialog's initial selection: the first choice that begins with text; -1
// for none.
int DpiChoiceIndexFor(const QString& text);
// What the dialog stores for a selected index: 0 gives "200", 2 gives "300",
// anything else (1 or no selection) "254".
QString DpiTextForChoice(int index);
