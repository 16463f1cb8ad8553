#include "cli/command.h"
#include "templates/index_files.h"

#include <QDir>

namespace {
const QString kCommand = QStringLiteral("publish-library");

int RunPublishLibrary(const QStringList& args) {
    if (args.size() != 1 || args[0].isEmpty())
        return BadInput(kCommand, QStringLiteral("needs one argument: DIR"));
    PublishedLibrary published;
    QString error;
    if (!PublishLibrary(QDir(args[0]).absolutePath(), published, error))
        return BadInput(kCommand, error);
    PrintOut(
        QStringLiteral("list.txt: %1, list2.txt: %2").arg(published.files).arg(published.sets));
    return 0;
}

const CliCommandRegistrar registrar({
    kCommand, QStringLiteral("DIR"),
    QStringLiteral("Makes DIR a template server's library: writes DIR/list.txt (size;path of every "
                   "template package below DIR) and DIR/list2.txt (one item per set from its "
                   "1.temp: path, slot count, width and height in cm, proportion), GBK with CR "
                   "LF, each whole or not at all. Serve DIR with any FTP server and the account "
                   "taoban uses; prints how many files and sets are listed."),
    RunPublishLibrary,
    false, // works on the named folder only
});
} // namespace
