#pragma once

#include "production/compose_task.h"

#include <QSize>
#include <QString>
#include <QStringList>

// "--canvas WxH" of the compositing commands: the canvas size used for pages
// saved without one. i stands on "--canvas" and moves past its value. False
// when the value is missing or malformed.
bool TakeCanvasOption(const QStringList& args, int& i, ComposeEnvironment& env);

inline const char* const kCanvasOptionError = "--canvas needs WxH, e.g. 1000x750";

// The value of a page-making command's "--canvas WxH" into canvas; false
// with error set when it is malformed.
bool ParseCanvasValue(const QString& value, QSize& canvas, QString& error);
