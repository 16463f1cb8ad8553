#pragma once

#include <QList>
#include <QString>

// One packed page of the demo library.
struct PackedPage {
    QString setFolder; // relative to the template folder, "/" separated
    int number = 0;    // page number, the file is <number>.temp
    double widthCm = 0;
    double heightCm = 0;
    int slotCount = 0;

    QString RelativePath() const; // "婚纱\<group>\<set>\1.temp"
};

// Writes "list.txt" (size;path of every page, sizes read from the packed
// files) and "list2.txt" (one <i> item per set, described by its first page)
// into the template folder. Pages come in the order they are listed.
bool WriteLibraryIndex(const QString& templateFolder, const QList<PackedPage>& pages,
                       QString& error);
