#pragma once

#include <QString>
#include <QStringList>

// The folder that holds all of the studio's data. Chosen once at start-up:
// the option "--base DIR", else the TAOBAN_BASE environment variable, else the
// folder of the executable. Held without a trailing "/".
QString BaseDir();
void SetBaseDir(const QString& dir);

// Takes "--base DIR" (or "--base=DIR") out of args and settles the base
// directory. args[0] is the executable path. Returns false when "--base" has
// no value.
bool InitBaseDir(QStringList& args);

// <base>/<relative>, relative given with "/" separators.
QString BasePath(const QString& relative);
