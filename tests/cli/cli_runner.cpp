#include "cli_runner.h"

#include <QProcess>
#include <QProcessEnvironment>

QStringList CliResult::OutLines() const {
    QString text = out;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

CliResult RunCli(const QStringList& args, const QString& base, const QByteArray& input) {
    QStringList all;
    if (!base.isEmpty())
        all << QStringLiteral("--base") << base;
    all << args;

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TAOBAN_CLI_PATH), all);

    CliResult result;
    if (!process.waitForStarted(-1)) {
        result.err = QStringLiteral("taoban-cli did not start: ") + process.errorString();
        return result;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}
