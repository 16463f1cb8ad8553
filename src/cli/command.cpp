#include "cli/command.h"

#include <cstdio>

namespace {
QList<CliCommand>& Registry() {
    static QList<CliCommand> commands;
    return commands;
}
} // namespace

CliCommandRegistrar::CliCommandRegistrar(CliCommand command) {
    Registry().append(std::move(command));
}

const QList<CliCommand>& CliCommands() { return Registry(); }

void PrintOut(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintErr(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int BadInput(const QString& command, const QString& reason) {
    PrintErr(QStringLiteral("taoban-cli %1: %2").arg(command, reason));
    return 2;
}
