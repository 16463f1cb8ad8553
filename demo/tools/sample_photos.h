#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

// The studio's sample photos ("样片"): camera-sized JPEGs of the stand-in
// scenes, landscape and portrait, some stored turned with an EXIF
// orientation so that they show upright only when the orientation is applied.
struct SamplePhoto {
    QString fileName;
    QSize upright;   // size as the photo is meant to be seen
    int variant;     // scene
    int orientation; // EXIF orientation: 0 none, 1 upright, 6 or 8 turned
};

const QList<SamplePhoto>& SamplePhotos();

// Returns the JPEG bytes with an APP1 Exif segment holding just the
// orientation tag, placed after the JFIF header.
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation);

// Draws, turns and encodes one sample photo.
QByteArray EncodeSamplePhoto(const SamplePhoto& photo);
