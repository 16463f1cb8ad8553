#pragma once

// A print lab's rules for the files it receives, kept as one JSON file per
// lab: <base>/设置/labs/<name>.json. Every key is optional:
//   "dpi"          200, 254 or 300: the pages must have been composed at it
//                  (default: the dpi setting)
//   "colour_space" "sRGB" (default) or "AdobeRGB": converted and embedded
//   "jpeg_quality" 1 to 100 (default 100)
//   "chroma"       "4:4:4" (default) or "4:2:0"
//   "bleed_mm"     0 (default) to 20: added on every side by extending the
//                  page's edge pixels outward
//   "file_name"    where each page goes below <folder>/<customer>, with
//                  {customer}, {product}, {page} (the number within the
//                  product) or {page:03} (zero-padded to 3 digits), "/"
//                  making folders; it ends in ".jpg" and holds {page}
//                  (default "{product}/{page}.jpg", the plain export's names)
//   "min_ppi"      1 to 1200 (default 150): the lowest effective resolution
//                  of a photo the lab accepts

#include <QByteArray>
#include <QString>
#include <QStringList>

struct LabProfile {
    int dpi = 254;
    bool adobeRgb = false;
    int jpegQuality = 100;
    bool halfChroma = false;
    double bleedMm = 0;
    QString fileName = QStringLiteral("{product}/{page}.jpg");
    int minPpi = 150;
};

// <base>/设置/labs/<name>.json
QString LabProfilePath(const QString& name);

// The names of the lab profiles in <base>/设置/labs, sorted.
QStringList LabProfileNames();

// Reads a lab's profile. False, with a one-line reason in error, when the
// name cannot be a file name, the file is missing or is not a JSON object,
// or it holds a key not listed above or a value of the wrong kind or out of
// range.
bool ReadLabProfile(const QString& name, LabProfile& lab, QString& error);
bool ParseLabProfile(const QByteArray& json, LabProfile& lab, QString& error);

// The file name pattern filled in for one page (the pattern already checked).
QString LabFileName(const QString& pattern, const QString& customer, const QString& product,
                    int page);

// The page's bleed in pixels at the lab's resolution.
int BleedPixels(const LabProfile& lab);
