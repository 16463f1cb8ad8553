#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// One command of taoban-cli. Each command registers itself from its own file
// with a static CliCommandRegistrar.
struct CliCommand {
    QString name;
    QString usage;   // one line: arguments after the command name
    QString summary; // one line: what it does
    // args: the arguments after the command name. Returns the exit status:
    // 0 done, 1 refused with a system message, 2 bad arguments or input.
    std::function<int(const QStringList& args)> run;
    // Whether the command works in the studio: only these have a new base
    // stocked with the demo library first. Commands on named files alone
    // never make or fill a studio folder.
    bool usesStudio = true;
};

struct CliCommandRegistrar {
    explicit CliCommandRegistrar(CliCommand command);
};

const QList<CliCommand>& CliCommands();

// Output helpers: UTF-8 lines on stdout / stderr.
void PrintOut(const QString& line);
void PrintErr(const QString& line);
// "taoban-cli COMMAND: reason" on stderr; returns 2 for "return BadInput(...)".
int BadInput(const QString& command, const QString& reason);
