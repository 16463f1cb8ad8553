#include "cli_studio.h"

#include "compose/template_body.h"

#include <QDir>
#include <QDirIterator>
#include <QSettings>

std::string Show(const CliResult& r) {
    return ("exit " + QString::number(r.exitCode) + "\nout: " + r.out + "\nerr: " + r.err)
        .toStdString();
}

void SetDpi(const QString& value) {
    QSettings settings(qEnvironmentVariable("TAOBAN_PROFILE_DIR") + "/QMRX-KVMO/taoban.ini",
                       QSettings::IniFormat);
    if (value.isEmpty())
        settings.remove("Version 1.0/dpi");
    else
        settings.setValue("Version 1.0/dpi", value);
    settings.sync();
}

QStringList PackedTemplates(const TestFolder& dir, int count) {
    QStringList packed;
    for (int i = 1; i <= count; ++i) {
        TemplateBody body;
        body.preview = EncodeImage(QuadrantImage(80, 60), "JPEG");
        body.width = 2000;
        body.height = 3000;
        QImage background(400, 600, QImage::Format_RGB32);
        background.fill(QColor(240, 230, 220));
        body.background = EncodeImage(background, "PNG");
        body.rects = {TemplateRect{50, 50, 480, 700}, TemplateRect{520, 50, 950, 700}};
        const QString path = dir.file(QString("template%1.temp").arg(i));
        WriteBytes(path, SerializeTemplateBody(body));
        packed.append(path);
    }
    return packed;
}

QStringList TwoTemplates(const TestFolder& dir) {
    QStringList found;
    QDirIterator it(TAOBAN_BINARY_DIR "/demo/模板", {"*.temp"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(it.next());
    found.sort();
    if (found.size() >= 2)
        return found.mid(0, 2);
    return PackedTemplates(dir, 2);
}

QString Photo(const TestFolder& dir, const QString& name, int w, int h) {
    const QString path = dir.file(name);
    WriteBytes(path, EncodeImage(QuadrantImage(w, h), "JPEG"));
    return path;
}
