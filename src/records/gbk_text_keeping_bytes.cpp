#include "records/gbk_text_keeping_bytes.h"

#include "common/atomic_file.h"
#include "common/gbk.h"

#include <QStringDecoder>

namespace {
constexpr char16_t kStandInBase = 0xDC00;

bool IsStandIn(QChar c) {
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

// One character when bytes are exactly one GBK character that encodes back to
// the same bytes; a null QChar otherwise.
QChar DecodeOne(const QByteArray& bytes) {
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.size() != 1 || text[0] == QChar::ReplacementCharacter ||
        text[0].isSurrogate())
        return {};
    if (ToGbk(text) != bytes)
        return {};
    return text[0];
}
} // namespace

QString DecodeGbkKeepingBytes(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += QChar(b);
            ++i;
            continue;
        }
        if (i + 1 < bytes.size()) {
            const QChar pair = DecodeOne(bytes.mid(i, 2));
            if (!pair.isNull()) {
                out += pair;
                i += 2;
                continue;
            }
        }
        const QChar single = DecodeOne(bytes.mid(i, 1));
        out += single.isNull() ? QChar(char16_t(kStandInBase + b)) : single;
        ++i;
    }
    return out;
}

QByteArray EncodeGbkKeepingBytes(const QString& text) {
    QByteArray out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsStandIn(text[i]))
            continue;
        out += ToGbk(text.mid(runStart, i - runStart));
        if (i < text.size())
            out += static_cast<char>(text[i].unicode() - kStandInBase);
        runStart = i + 1;
    }
    return out;
}

QString ReadJoinedLinesKeepingBytes(const QString& path, qint64 maxBytes) {
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, maxBytes))
        return {};
    // Each line is decoded on its own, so that a stray byte at a line's end
    // never pairs up with the first byte of the next line.
    QString joined;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        joined += DecodeGbkKeepingBytes(line);
    }
    return joined;
}

bool WriteLinesKeepingBytes(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeGbkKeepingBytes(line);
        bytes += "\r\n";
    }
    return WriteFileAtomic(path, bytes);
}
