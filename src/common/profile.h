#pragma once

#include <QByteArray>
#include <QString>

// Per-user profile values, kept by QSettings under organisation "QMRX-KVMO"
// and application "taoban".
namespace Profile {
QString GetString(const QString& section, const QString& name, const QString& fallback = {});
void SetString(const QString& section, const QString& name, const QString& value);
QByteArray GetBinary(const QString& section, const QString& name);
void SetBinary(const QString& section, const QString& name, const QByteArray& value);
// Keeps the profile in folder instead of the user's configuration folder
// (tests). Call before the first read or write.
void UseFolder(const QString& folder);
} // namespace Profile
