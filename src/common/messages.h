#pragma once

#include <QString>
#include <QStringList>

// Every message the operator sees goes through this interface, so that the
// windows show message boxes, the command-line tool prints, and tests record
// the exact texts and answer questions.
class IMessages {
public:
    virtual ~IMessages() = default;
    virtual void Inform(const QString& text) = 0;
    // A Yes/No question; true means Yes.
    virtual bool AskYesNo(const QString& text) = 0;
};

// Records the texts; questions are answered with a fixed answer.
class RecordingMessages : public IMessages {
public:
    explicit RecordingMessages(bool answer = true) : answer_(answer) {}
    void Inform(const QString& text) override { informed.append(text); }
    bool AskYesNo(const QString& text) override {
        asked.append(text);
        return answer_;
    }
    void SetAnswer(bool answer) { answer_ = answer; }

    QStringList informed;
    QStringList asked;

private:
    bool answer_;
};
