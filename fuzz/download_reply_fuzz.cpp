// What the template server sends the download worker: the address lookup's
// reply body and the file list "list.txt". Input: lookup reply, list.txt,
// as parts. No address may carry more than a host, and no listed path may
// lead a file out of the template folder.

#include "fuzz_support.h"

#include "common/text_file.h"
#include "download/ftp_session.h"
#include "download/template_downloader.h"
#include "download/url_text.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = SplitInput(InputBytes(data, size), 2);
    const QString server = FtpServerFromReply(JoinReplyLines(parts[0]));
    for (const QChar c : server)
        FuzzExpect(c.isLetterOrNumber() || c == '.' || c == '-' || c == '_' || c == ':',
                   "the server address to be a plain host name or address");

    const QString root = ScratchPath(QStringLiteral("模板"));
    QStringList lines;
    ReadGbkLines(WriteScratch(QStringLiteral("list.txt"), parts[1]), lines);
    CategoryChoice choice{};
    choice[0] = true;
    for (const QString& line : lines) {
        ListEntry entry;
        if (!ParseListLine(line, entry))
            continue;
        IsWantedPath(entry.path, choice);
        const QString local = DownloadTargetPath(root, entry.path);
        if (!local.isEmpty())
            FuzzExpect(QDir::cleanPath(local) == local && local.startsWith(root + QLatin1Char('/')),
                       "a download target inside the template folder");
        const QByteArray url = FtpSession::RemoteUrlPath(entry.path);
        FuzzExpect(!url.contains('\r') && !url.contains('\n') && !url.contains(' ') &&
                       !url.contains('\0'),
                   "a remote path with every unsafe byte encoded");
    }
    return 0;
}
