#pragma once

#include <QByteArray>
#include <QString>

// Builds a template package (a template body) from a JSON description:
//
//   {"page_size_cm": [30, 30], "preview": "preview.jpg",
//    "overlay": "overlay.png", "background": "background.jpg",
//    "slots": [{"rect": [100, 100, 500, 700], "mask": "mask1.png",
//               "front": 0, "transparency": 0, "shear": 0, "angle": 0,
//               "border": "#RRGGBB"}]}
//
// Image paths are relative to the JSON file's folder; the preview,
// overlay and background are stored byte for byte, masks become 8-bit grey
// BMPs at their own size. Returns false with a one-line reason in error
// when the JSON file is unreadable, malformed or names a file that is
// missing or is not an image.
bool PackTemplate(const QString& descriptionPath, QByteArray& body, QString& error);

// PackTemplate, then writes the package to outPath atomically (creating its
// folder); nothing is written when anything fails.
bool PackTemplateFile(const QString& descriptionPath, const QString& outPath, QString& error);
