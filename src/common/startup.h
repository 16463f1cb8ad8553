#pragma once

#include <QStringList>

// What both programs do first: image decoding limits large enough for 48 MP
// camera photos, and the base directory from the arguments. Takes "--base"
// out of args. Returns false on a malformed "--base".
bool InitProcess(QStringList& args);
