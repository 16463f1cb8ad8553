#pragma once

#include <QString>
#include <QStringList>

// The folder that holds all of the studio's data, chosen once at start-up
// (InitBaseDir). Held without a trailing "/".
QString BaseDir();
void SetBaseDir(const QString& dir);

// Where the base folder can come from, in the order in which they win.
struct BaseCandidates {
    QString option;      // "--base DIR"
    QString environment; // TAOBAN_BASE
    QString programDir;  // the folder of the executable
    QString userDataDir; // $XDG_DATA_HOME/taoban
};

// The option, else the environment, else the program's folder when this
// process may write there and it is not an installed program's folder (a
// build folder or a portable copy), else the user's data folder. An installed
// program never keeps a studio beside itself, not even when root may write
// there: /usr/bin belongs to the package manager.
QString ChooseBaseDir(const BaseCandidates& candidates);

// True when this process may create files in dir (access(2) with write and
// search permission). A folder on a read-only file system is refused even for
// root; otherwise root may write anywhere.
bool IsWritableFolder(const QString& dir);

// The candidates of this process: TAOBAN_BASE, the given program folder and
// $XDG_DATA_HOME/taoban (~/.local/share/taoban when unset).
BaseCandidates ProcessBaseCandidates(const QString& programDir);

// Takes "--base DIR" (or "--base=DIR") out of args and settles the base
// directory by ChooseBaseDir. The program folder is the running executable's
// (args[0] only without an application object). Returns false when "--base"
// has no value.
bool InitBaseDir(QStringList& args);

// <base>/<relative>, relative given with "/" separators.
QString BasePath(const QString& relative);

// The rule above in a few lines of text, for the programs' --help.
QString BaseRuleHelp();
