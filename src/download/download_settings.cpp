#include "download/download_settings.h"

#include "common/profile.h"

#include <QUrl>

const char* const kDefaultLookupUrl = "http://templates.qmrx-kvmo.com";
const char* const kDefaultShowcaseUrl = "http://templates.qmrx-kvmo.com/";

namespace {
const QString kSection = QStringLiteral("download");
} // namespace

DownloadSettings ReadDownloadSettings() {
    DownloadSettings s;
    s.lookupUrl = Profile::GetString(kSection, QStringLiteral("lookup"),
                                     QString::fromLatin1(kDefaultLookupUrl));
    s.showcaseUrl = Profile::GetString(kSection, QStringLiteral("showcase"),
                                       QString::fromLatin1(kDefaultShowcaseUrl));
    const QString port = Profile::GetString(kSection, QStringLiteral("ftpport"));
    // An unusable stored port falls back to the standard one rather than
    // making every download fail.
    s.ftpPort = port.isEmpty() || ParsePort(port) == 0 ? 21 : ParsePort(port);
    return s;
}

bool IsLookupBaseUrl(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return false;
    if (parsed.scheme() != QLatin1String("http") && parsed.scheme() != QLatin1String("https"))
        return false;
    if (!parsed.userInfo().isEmpty() || parsed.hasQuery() || parsed.hasFragment())
        return false;
    return parsed.path().isEmpty() || parsed.path() == QLatin1String("/");
}

QString LookupRequestUrl(const QString& lookupBase, const QString& installationId) {
    QString base = lookupBase;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/gettempip.php?id=") + installationId;
}

int ParsePort(const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port >= 1 && port <= 65535 ? port : 0;
}
