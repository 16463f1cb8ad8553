#include "common/base_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
} // namespace

QString BaseDir() {
    if (Base().isEmpty()) {
        const QString env = qEnvironmentVariable("TAOBAN_BASE");
        if (!env.isEmpty())
            Base() = Clean(env);
        else if (QCoreApplication::instance())
            Base() = Clean(QCoreApplication::applicationDirPath());
        else
            Base() = Clean(QDir::currentPath());
    }
    return Base();
}

void SetBaseDir(const QString& dir) { Base() = Clean(dir); }

bool InitBaseDir(QStringList& args) {
    QString chosen;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--base")) {
            if (i + 1 >= args.size())
                return false;
            chosen = args[i + 1];
            args.remove(i, 2);
            break;
        }
        if (args[i].startsWith(QLatin1String("--base="))) {
            chosen = args[i].mid(7);
            args.removeAt(i);
            break;
        }
    }
    if (chosen.isEmpty())
        chosen = qEnvironmentVariable("TAOBAN_BASE");
    if (chosen.isEmpty() && !args.isEmpty())
        chosen = QFileInfo(args[0]).absolutePath();
    if (chosen.isEmpty())
        chosen = QDir::currentPath();
    SetBaseDir(chosen);
    return true;
}

QString BasePath(const QString& relative) {
    QString rel = relative;
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return BaseDir() + QLatin1Char('/') + rel;
}
