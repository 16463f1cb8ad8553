#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CustomerTask;

// The label of a file in an icon list (customer photos, finished pages): its
// file name, lowercased.
QString FileThumbnailLabel(const QString& path);
// FileThumbnailLabel of each path, in order.
QStringList FileThumbnailLabels(const QStringList& paths);

// The label of a customer photo once its uses are counted:
// "<file name>\r\n选中<count>次".
QString PhotoUsageLabel(const QString& path, int count);

// How often the pages of a task use each photo of the customer photo list.
struct PhotoUsage {
    QList<int> counts;      // per photo, in list order
    QStringList labels;     // PhotoUsageLabel per photo
    QStringList usedPhotos; // the photos counted at least once, in list order
};

// Counts, for each photo, the slots of all pages of task whose photo name
// (blanks around it ignored) equals the photo's file name, ignoring letter
// case. A slot records the file name only, so photos of the same name in
// different folders share their count.
PhotoUsage CountPhotoUsage(const CustomerTask& task, const QStringList& photoPaths);
