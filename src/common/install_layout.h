#pragma once

#include <QString>

// Where the program's own files are. Everything is found from the folder of
// the executable, so a build folder, a portable copy and an installed program
// (<prefix>/bin beside <prefix>/share/taoban) each find their own.

// The project version, e.g. "0.1".
QString ProgramVersion();

// <prefix>/share/taoban for a program in <prefix>/bin. The folder exists only
// when the program was installed.
QString InstalledDataDir(const QString& programDir);

// The folder whose "模板" (template library) and "样片" (sample photos) stock a
// new studio: TAOBAN_DEMO_DIR when set, else "demo" beside the program (a
// build folder or a portable copy), else the installed data folder's "demo".
QString StarterLibraryDir(const QString& programDir);
