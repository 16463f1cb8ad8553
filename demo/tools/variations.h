#pragma once

#include "page_description.h"

#include <QList>
#include <QString>

// The sets the demo library gains beyond its hand-written descriptions:
// every theme in every common album size, so that a product of any of these
// sizes finds templates of its proportion, its size and any photo count when
// templates are drawn at random. Each set has two pages.
struct GeneratedPage {
    QString setFolder; // "<category>/<group>/<set>"
    int number = 0;    // page number
    PageDescription page;
};

QList<GeneratedPage> GeneratedPages();

// Page sizes in centimetres the generated sets come in.
struct AlbumSize {
    double widthCm;
    double heightCm;
};
const QList<AlbumSize>& GeneratedAlbumSizes();

// Writes a description as the JSON document that taoban-cli pack-template
// reads.
bool WritePageDescription(const PageDescription& page, const QString& path, QString& error);
