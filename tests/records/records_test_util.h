#pragma once

#include "common/gbk.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure output for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << '[' << texts.join(QStringLiteral(" | ")).toStdString() << ']';
}

// Little-endian 32-bit value, built by hand so the tests do not lean on the
// writer they check.
inline QByteArray Le32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return b;
}

// A fixed text field: the GBK bytes, zero-padded to width.
inline QByteArray Field(const QString& text, int width) {
    QByteArray b = ToGbk(text);
    b.append(QByteArray(width - b.size(), '\0'));
    return b;
}

// True when running with root rights, where file permissions stop no write.
bool RunningAsRoot();
