#include "cli/cli_messages.h"

#include "cli/command.h"

void CliMessages::Inform(const QString& text) {
    PrintOut(text);
}

bool CliMessages::AskYesNo(const QString& text) {
    PrintOut(text);
    if (yes_)
        return true;
    refused_ = true;
    PrintErr(QStringLiteral("taoban-cli: not confirmed; add --yes to answer Yes"));
    return false;
}
