#include "cli/canvas_option.h"

#include "production/task_reference.h"

bool TakeCanvasOption(const QStringList& args, int& i, ComposeEnvironment& env) {
    const QSize canvas = i + 1 < args.size() ? ParseWxH(args[++i]) : QSize();
    if (!canvas.isValid())
        return false;
    env.canvasSize = [canvas] { return canvas; };
    return true;
}

bool ParseCanvasValue(const QString& value, QSize& canvas, QString& error) {
    canvas = ParseWxH(value);
    if (canvas.isValid())
        return true;
    error = QString::fromLatin1(kCanvasOptionError);
    return false;
}
