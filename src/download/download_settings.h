#pragma once

#include <QString>

// Where the template download goes: the template server's address lookup,
// its showcase page and the FTP port. Kept in the profile, section
// "download", with defaults for a studio that never set them.
struct DownloadSettings {
    QString lookupUrl;   // "lookup": scheme, host and optional port, no path
    QString showcaseUrl; // "showcase": the page "最新模板" opens
    int ftpPort = 21;    // "ftpport"
};

extern const char* const kDefaultLookupUrl;
extern const char* const kDefaultShowcaseUrl;

DownloadSettings ReadDownloadSettings();

// True for "http://host", "https://host:port" and the like: the address the
// lookup's request path is appended to. Anything with a path, query, user
// or another scheme is not one.
bool IsLookupBaseUrl(const QString& url);

// The lookup request: base + "/gettempip.php?id=" + the installation
// identifier, which is plain digits and goes as it is.
QString LookupRequestUrl(const QString& lookupBase, const QString& installationId);

// A port given as text: 1 to 65535, else 0.
int ParsePort(const QString& text);
