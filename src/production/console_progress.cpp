#include "production/console_progress.h"

#include <unistd.h>

namespace {
constexpr int kBarWidth = 30;

QString Bar(int value, int maximum) {
    const int filled = maximum > 0 ? qBound(0, value * kBarWidth / maximum, kBarWidth) : 0;
    return "[" + QString(filled, '#') + QString(kBarWidth - filled, '.') + "]";
}
} // namespace

ConsoleProgressRun::ConsoleProgressRun(int maximum, std::FILE* stream)
    : ProgressRun(maximum), stream_(stream), terminal_(isatty(fileno(stream))), taskRun_(false) {}

ConsoleProgressRun::ConsoleProgressRun(const QStringList& paths, std::FILE* stream)
    : ProgressRun(paths), stream_(stream), terminal_(isatty(fileno(stream))), taskRun_(true) {}

QString ConsoleProgressRun::Line(int current, int overall, int maximum, bool taskRun) {
    // The progress window shows the overall bar for task runs and only the
    // current bar for a page run.
    if (taskRun)
        return QStringLiteral("总体进度: %1 %2/%3")
            .arg(Bar(overall, maximum))
            .arg(overall)
            .arg(maximum);
    return QStringLiteral("当前进度: %1 %2/100").arg(Bar(current, 100)).arg(current);
}

void ConsoleProgressRun::OnProgress(int current, int overall) {
    const QString line = Line(current, overall, Maximum(), taskRun_);
    if (line == last_)
        return;
    last_ = line;
    Write(terminal_ ? "\r" + line : line + "\n");
}

void ConsoleProgressRun::OnClosed(int) {
    if (terminal_ && !last_.isEmpty())
        Write("\n");
}

void ConsoleProgressRun::Write(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream_);
    std::fflush(stream_);
}
