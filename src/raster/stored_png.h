#pragma once

// PNG files written to be read back as fast as a PNG can be: rows without
// filtering and deflate blocks stored as they are (no compression), so
// reading one is little more than copying its bytes. For small pictures
// read far more often than written (the shared thumbnail cache), where
// Qt's writer spends most of its time choosing filters and deflating, and
// its readers unfiltering and inflating. Every PNG reader reads them.

#include <QByteArray>
#include <QImage>
#include <QList>

#include <utility>

// The picture as 8-bit RGB (RGBA when it has an alpha channel), with a
// tEXt chunk for each key and value (Latin-1; keys of 1 to 79 characters).
// Empty for a null picture or a key that cannot be written.
QByteArray EncodeStoredPng(const QImage& picture,
                           const QList<std::pair<QByteArray, QByteArray>>& texts);
