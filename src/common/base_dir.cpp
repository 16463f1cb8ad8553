#include "common/base_dir.h"

#include "common/install_layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {
QString& Base() {
    static QString base;
    return base;
}

QString Clean(const QString& dir) {
    QString d = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    while (d.size() > 1 && d.endsWith(QLatin1Char('/')))
        d.chop(1);
    return d;
}

// argv[0] is only the name when the program was found on PATH, so the
// running executable's own path is asked for wherever Qt can tell it.
QString ProgramDir(const QStringList& args) {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    if (!args.isEmpty())
        return QFileInfo(args[0]).absolutePath();
    return QDir::currentPath();
}
} // namespace

QString BaseDir() {
    if (Base().isEmpty())
        Base() = Clean(ChooseBaseDir(ProcessBaseCandidates(ProgramDir({}))));
    return Base();
}

void SetBaseDir(const QString& dir) {
    Base() = Clean(dir);
}

QString ChooseBaseDir(const BaseCandidates& c) {
    if (!c.option.isEmpty())
        return c.option;
    if (!c.environment.isEmpty())
        return c.environment;
    const bool installed = QFileInfo(InstalledDataDir(c.programDir)).isDir();
    if ((!installed && IsWritableFolder(c.programDir)) || c.userDataDir.isEmpty())
        return c.programDir;
    return c.userDataDir;
}

bool IsWritableFolder(const QString& dir) {
    const QByteArray path = QFile::encodeName(dir);
    return QFileInfo(dir).isDir() && ::access(path.constData(), W_OK | X_OK) == 0;
}

BaseCandidates ProcessBaseCandidates(const QString& programDir) {
    BaseCandidates c;
    c.environment = qEnvironmentVariable("TAOBAN_BASE");
    c.programDir = programDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        c.userDataDir = data + QStringLiteral("/taoban");
    return c;
}

bool InitBaseDir(QStringList& args) {
    QString option;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--base")) {
            if (i + 1 >= args.size())
                return false;
            option = args[i + 1];
            args.remove(i, 2);
            break;
        }
        if (args[i].startsWith(QLatin1String("--base="))) {
            option = args[i].mid(7);
            args.removeAt(i);
            break;
        }
    }
    BaseCandidates c = ProcessBaseCandidates(ProgramDir(args));
    c.option = option;
    SetBaseDir(ChooseBaseDir(c));
    return true;
}

QString BasePath(const QString& relative) {
    QString rel = relative;
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return BaseDir() + QLatin1Char('/') + rel;
}

QString BaseRuleHelp() {
    return QStringLiteral(
        "The studio's base folder is --base DIR, else $TAOBAN_BASE, else the program's\n"
        "own folder when it is writable and not an installed program's folder, else\n"
        "$XDG_DATA_HOME/taoban (~/.local/share/taoban). A base without a 模板 folder gets\n"
        "the demo template library copied in on start, and the sample photos (样片)\n"
        "when it has none; $TAOBAN_DEMO_DIR names another folder to copy them from.");
}
