#include "common/profile.h"

#include <QSettings>

namespace {
QString& Folder() {
    static QString folder;
    return folder;
}

QString Key(const QString& section, const QString& name) { return section + '/' + name; }

// TAOBAN_PROFILE_DIR lets a test keep a program's profile in its own folder.
QString ChosenFolder() {
    if (!Folder().isEmpty())
        return Folder();
    return qEnvironmentVariable("TAOBAN_PROFILE_DIR");
}

QSettings Open() {
    const QString folder = ChosenFolder();
    if (!folder.isEmpty())
        return QSettings(folder + "/QMRX-KVMO/taoban.ini", QSettings::IniFormat);
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "QMRX-KVMO", "taoban");
}
} // namespace

namespace Profile {
QString GetString(const QString& section, const QString& name, const QString& fallback) {
    return Open().value(Key(section, name), fallback).toString();
}

void SetString(const QString& section, const QString& name, const QString& value) {
    Open().setValue(Key(section, name), value);
}

QByteArray GetBinary(const QString& section, const QString& name) {
    return Open().value(Key(section, name)).toByteArray();
}

void SetBinary(const QString& section, const QString& name, const QByteArray& value) {
    Open().setValue(Key(section, name), value);
}

void UseFolder(const QString& folder) { Folder() = folder; }
} // namespace Profile
