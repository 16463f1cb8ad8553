#pragma once

#include <QString>

// The two index files a template server offers beside its packages, in the
// form the download and the library index read them: "list.txt" names every
// file with its size, "list2.txt" describes every set by its first page.

// A set as "list2.txt" describes it.
struct SetIndexRecord {
    QString path; // the set's page 1 relative to the template folder, backslashes
    int slotCount = 0;
    double widthCm = 0;
    double heightCm = 0;
};

// "<size>;<path>", the path relative to the template folder with backslashes.
QString FileListLine(qint64 size, const QString& relativePath);
// "<i><p>path</p><n>slots</n><w>width</w><h>height</h><f>proportion</f></i>".
QString SetIndexItem(const SetIndexRecord& set);
// The proportion a set is matched by: height divided by width; empty for a
// set without a size, which the smart selection then takes unfiltered.
QString ProportionText(double widthCm, double heightCm);

struct PublishedLibrary {
    int files = 0; // lines of "list.txt"
    int sets = 0;  // items of "list2.txt"
};

// Writes folder/list.txt and folder/list2.txt for the template packages
// below folder (every file whose name holds ".temp", as the library's own
// search finds them, hidden ones left out), each file whole or not at all.
// A set is described by its "1.temp", whose template body gives the slot
// count and the size. False with a one-line reason, writing nothing, when
// folder is no folder, a page 1 is no template package, or a path could not
// be read back from the index files (not GBK, a backslash, "<" or ">" or a
// line break in a name, blanks at its end, or a path the download refuses).
bool PublishLibrary(const QString& folder, PublishedLibrary& published, QString& error);
