#include "cli_studio.h"

#include "compose/canvas_size_file.h"
#include "compose/template_body.h"
#include "records/customer_task.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
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

CliResult RunCliKilledAtRename(const QStringList& args, const QString& base, int when) {
    QStringList all{"-f",
                    "-o",
                    "/dev/null",
                    "-e",
                    QString("inject=rename,renameat,renameat2:signal=KILL:when=%1").arg(when),
                    TAOBAN_CLI_PATH,
                    "--base",
                    base};
    all << args;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // In the AddressSanitizer build: LeakSanitizer cannot work under ptrace
    // and would end every traced run with its own fatal error. The leaks of
    // these commands are looked for by the runs without strace.
    if (env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    process.setProcessEnvironment(env);
    process.start("strace", all);
    CliResult result;
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1))
        return result;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    // strace ends with the status of the program it ran; a killed program
    // makes strace kill itself with the same signal.
    if (process.exitStatus() == QProcess::NormalExit && !result.err.contains("+++ killed by"))
        result.exitCode = process.exitCode();
    return result;
}

QStringList FilesNotWhole(const QString& folder) {
    QStringList problems;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        const QByteArray bytes = ReadBytes(path);
        bool whole = true;
        if (name.endsWith(".jpg")) {
            whole = bytes.startsWith("\xff\xd8") && bytes.endsWith("\xff\xd9") &&
                    !QImage::fromData(bytes).isNull();
        } else if (name == "1.tx") {
            CustomerTask task;
            whole = bytes.size() >= CustomerTask::kPhoneBytes &&
                    (bytes.size() - CustomerTask::kPhoneBytes) % TaskPage::kRecordSize == 0 &&
                    task.Load(path);
        } else if (name == "dat") {
            LayoutRecord record;
            TemplateBody body;
            whole = ParseLayoutRecord(bytes, record) &&
                    ParseTemplateBody(record.body, body) == BodyStatus::Ok;
        } else if (name.endsWith(".temp")) {
            TemplateBody body;
            whole = ParseTemplateBody(bytes, body) == BodyStatus::Ok;
        } else if (name == "canvas") {
            whole = ReadCanvasSizeFile(it.fileInfo().path()).isValid();
        } else if (name == "status.txt") {
            whole = QRegularExpression("^<s>\\d+/\\d+</s>$").match(QString(bytes)).hasMatch();
        } else if (name.endsWith(".ini") || name.endsWith(".txt")) {
            whole = bytes.isEmpty() || bytes.endsWith("\r\n");
        }
        if (!whole)
            problems.append(path);
    }
    return problems;
}
