#pragma once

#include <QString>

// The customer folder of a review command's CUSTOMER argument; empty, with
// the command's bad-input line printed, when there is no such customer task.
QString ReviewCustomerFolder(const QString& command, const QString& customer);

// "ADDR:PORT", "ADDR" or ":PORT" for review-serve --listen; false for
// anything else.
bool ParseListenAddress(const QString& text, QString& address, int& port);
