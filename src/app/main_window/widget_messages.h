#pragma once

#include "common/messages.h"

class QWidget;

// The operator's message boxes: every text the windows show goes through
// here, so tests can record them and answer the questions.
class WidgetMessages final : public IMessages {
public:
    explicit WidgetMessages(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void Inform(const QString& text) override;
    bool AskYesNo(const QString& text) override;

    static const char* const kTitle;

private:
    QWidget* owner_;
};
