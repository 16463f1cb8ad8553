#pragma once

#include <QString>

// "status.txt" of a customer folder: how far the batch worker got, as
// "<s>done/pages</s>" with no line end.
bool WriteStatusFile(const QString& customerFolder, int done, int pages);
// The text of its "<s>" element ("2/3"), or "0" when the file cannot be read.
QString ReadOutputStatus(const QString& customerFolder);
