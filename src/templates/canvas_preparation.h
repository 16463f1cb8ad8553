#pragma once

// What putting a customer photo into a slot needs, made ahead of the put:
// its 400-pixel working copy and, when faces are kept, the faces in it, both
// kept in WorkingCopyCache::Shared(). The photo list makes them in the
// background once its cells are drawn; a put of a photo not reached yet
// makes them itself.

#include <QString>

// What is kept of the photo at path now (nothing is made): the bytes of its
// working copy (0 when none is kept) and whether that is all a put needs.
struct CanvasReadiness {
    qint64 copyBytes = 0;
    bool complete = false;
};
CanvasReadiness CanvasReadinessOf(const QString& path, bool scanFaces);

// Makes and keeps what is missing of the photo at path: its working copy
// from one reduced decode, and its faces (scanFaces) from the same decode,
// or from a decode for the scan when the copy was kept already. Returns the
// bytes of the copy kept, 0 when the file is not a photo that decodes.
qint64 PrepareForCanvas(const QString& path, bool scanFaces);
