#pragma once

#include "production/progress_run.h"

#include <QString>
#include <cstdio>

// A run shown on a console: a bar redrawn in place when the stream is a
// terminal, one plain line per new value otherwise.
class ConsoleProgressRun : public ProgressRun {
public:
    // maximum as for ProgressRun; a page run (maximum 100 without task
    // paths) shows only the current bar.
    ConsoleProgressRun(int maximum, std::FILE* stream);
    ConsoleProgressRun(const QStringList& taskPaths, std::FILE* stream);

    // The line that shows these values, without a line end.
    static QString Line(int current, int overall, int maximum, bool taskRun);

protected:
    void OnProgress(int current, int overall) override;
    void OnClosed(int result) override;

private:
    void Write(const QString& text);

    std::FILE* stream_;
    const bool terminal_;
    const bool taskRun_;
    QString last_;
};
