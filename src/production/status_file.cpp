#include "production/status_file.h"

#include "common/atomic_file.h"
#include "common/extract_tag.h"
#include "common/gbk.h"
#include "common/text_file.h"
#include "records/customer_update.h"
#include "records/workspace_paths.h"

#include <QFile>

bool WriteStatusFile(const QString& customerFolder, int done, int pages) {
    const QString text = QStringLiteral("<s>%1/%2</s>").arg(done).arg(pages);
    return WithCustomerLock(customerFolder, [&] {
        return WriteFileAtomic(StatusFilePath(customerFolder), ToGbk(text));
    });
}

QString ReadOutputStatus(const QString& customerFolder) {
    const QString path = StatusFilePath(customerFolder);
    QStringList lines;
    if (!ReadGbkLines(path, lines))
        return QStringLiteral("0");
    QString joined = lines.join(QString());
    return ExtractTag(joined, QStringLiteral("<s>"));
}
