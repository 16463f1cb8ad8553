#include "common/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray ToGbk(const QString& text) {
    QStringEncoder enc("GBK");
    QByteArray out = enc.encode(text);
    return out;
}

QString FromGbk(const QByteArray& bytes) {
    QStringDecoder dec("GBK");
    QString out = dec.decode(bytes);
    return out;
}

bool IsGbkEncodable(const QString& text) {
    QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    QByteArray bytes = enc.encode(text);
    if (enc.hasError())
        return false;
    // The encoder substitutes '?' for what it cannot map; a round trip shows it.
    return FromGbk(bytes) == text;
}

QByteArray CutGbk(const QByteArray& gbk, int maxBytes) {
    if (gbk.size() <= maxBytes)
        return gbk;
    int i = 0;
    while (i < maxBytes) {
        const auto c = static_cast<unsigned char>(gbk[i]);
        const int len = (c >= 0x81 && c <= 0xFE) ? 2 : 1;
        if (i + len > maxBytes)
            break;
        i += len;
    }
    return gbk.left(i);
}
