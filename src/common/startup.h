#pragma once

#include <QStringList>

// What both programs do first: image decoding limits large enough for 48 MP
// camera photos, and the base directory from the arguments. Takes "--base"
// out of args. Returns false on a malformed "--base".
bool InitProcess(QStringList& args);

// What both programs do before their first work in the studio: a base folder
// without a template library gets the starter library (StockNewStudio). A
// copy, or a failed one, is reported on stderr under the program's name; the
// program goes on either way.
void StockStudio();
