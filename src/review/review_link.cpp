#include "review/review_link.h"

#include "common/profile.h"

#include <QNetworkInterface>
#include <QRandomGenerator>

namespace {
const QString kSection = QStringLiteral("review");
} // namespace

QString NewReviewToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString token;
    for (const quint32 word : words)
        token += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    return token;
}

bool IsReviewToken(const QString& text) {
    if (text.size() != 32)
        return false;
    for (const QChar c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

int ReviewPort() {
    bool ok = false;
    const int port = Profile::GetString(kSection, QStringLiteral("port")).toInt(&ok);
    return ok && port >= 0 && port < 65536 ? port : kDefaultReviewPort;
}

bool WindowServesReviews() {
    return Profile::GetString(kSection, QStringLiteral("serve")) != QStringLiteral("0");
}

QString ReviewHost() {
    const QString set = Profile::GetString(kSection, QStringLiteral("host")).trimmed();
    if (!set.isEmpty())
        return set;
    for (const QNetworkInterface& net : QNetworkInterface::allInterfaces()) {
        const auto flags = net.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : net.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.ip().isLoopback())
                return entry.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

QString ReviewLink(const QString& host, int port, const QString& token) {
    QString start = host;
    if (!start.contains(QStringLiteral("://")))
        start = start.contains(':') ? QStringLiteral("http://") + start
                                    : QStringLiteral("http://%1:%2").arg(start).arg(port);
    while (start.endsWith('/'))
        start.chop(1);
    return start + QStringLiteral("/r/") + token + QLatin1Char('/');
}
