#pragma once

#include <QSize>
#include <QString>

// The task file a command-line argument names: a customer name in the task
// store (a name without "/" whose folder is there), a path ending in ".tx",
// a customer folder (a path with "/"), or a customer not recorded yet.
QString TaskPathFor(const QString& argument);

// "WxH" with both sides from 1 to limit; an invalid size otherwise.
QSize ParseWxH(const QString& text, int limit = 100000);
