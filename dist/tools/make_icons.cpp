// Writes the application icon into an icon theme tree:
//   OUT/hicolor/scalable/apps/taoban.svg
//   OUT/hicolor/NxN/apps/taoban.png for each of the theme's usual sizes

#include "controls/app_icon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {
bool Write(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    return QDir().mkpath(QFileInfo(file).absolutePath()) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size();
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: taoban-icons OUT\n");
        return 2;
    }
    const QString theme = args[1] + QStringLiteral("/hicolor");
    bool ok = Write(theme + QStringLiteral("/scalable/apps/taoban.svg"), AppIconSvg());
    for (int size : AppIconSizes()) {
        const QString file = theme + QStringLiteral("/%1x%1/apps/taoban.png").arg(size);
        ok = ok && QDir().mkpath(QFileInfo(file).absolutePath()) &&
             AppIconImage(size).save(file, "PNG");
    }
    if (!ok) {
        std::fprintf(stderr, "taoban-icons: cannot write the icons into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
