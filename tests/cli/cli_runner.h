#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one run of taoban-cli gave back.
struct CliResult {
    int exitCode = -1; // -1 when the program did not start or did not exit normally
    QString out;       // stdout, decoded as UTF-8
    QString err;       // stderr, decoded as UTF-8
    // stdout split into lines, without the line ends and without a final empty line.
    QStringList OutLines() const;
};

// Runs the built taoban-cli (TAOBAN_CLI_PATH) with args, feeding input on
// stdin and closing it. A non-empty base is passed as "--base BASE" ahead of
// the arguments. The profile folder of the test run is inherited.
CliResult RunCli(const QStringList& args, const QString& base = {}, const QByteArray& input = {});
