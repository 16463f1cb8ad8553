#pragma once

#include "common/messages.h"

// The operator's messages on the command line: each one printed as a line on
// stdout. A Yes/No question is answered Yes only when the command was given
// "--yes"; otherwise it is printed, answered No and remembered as refused.
class CliMessages : public IMessages {
public:
    explicit CliMessages(bool yes) : yes_(yes) {}
    void Inform(const QString& text) override;
    bool AskYesNo(const QString& text) override;

    // True when a question was answered No for want of "--yes".
    bool refused() const { return refused_; }

private:
    bool yes_;
    bool refused_ = false;
};
