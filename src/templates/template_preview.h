#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The preview image at the front of a template package: skip the marker
// byte, read the u32 length, take that many bytes. Only the preview is read
// from the file. Empty when the file cannot be read or the length runs past
// its end (a damaged or hostile file never makes the reader allocate what
// the length claims).
QByteArray ReadTemplatePreviewBytes(const QString& packagePath);

// The decoded preview for a thumbnail; null when there is none.
QImage ReadTemplatePreview(const QString& packagePath);
