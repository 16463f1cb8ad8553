#include "records/customer_presence.h"

#include "common/file_lock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral(".station-");
const QString kSuffix = QStringLiteral(".open");

QString OwnFileName() {
    return kPrefix + QString::number(getpid()) + QLatin1Char('@') + QSysInfo::machineHostName() +
           kSuffix;
}
} // namespace

CustomerPresence::~CustomerPresence() {
    Leave();
}

QStringList CustomerPresence::Enter(const QString& customerFolder) {
    Leave();
    file_ = customerFolder + QLatin1Char('/') + OwnFileName();
    Refresh();
    return OthersIn(customerFolder);
}

void CustomerPresence::Refresh() {
    if (file_.isEmpty())
        return;
    QFile file(file_);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write((FileLock::HolderText() + QStringLiteral("\n")).toUtf8());
}

void CustomerPresence::Leave() {
    if (!file_.isEmpty())
        QFile::remove(file_);
    file_.clear();
}

QStringList CustomerPresence::OthersIn(const QString& customerFolder) {
    QStringList others;
    const QFileInfoList files = QDir(customerFolder)
                                    .entryInfoList({kPrefix + QLatin1Char('*') + kSuffix},
                                                   QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : files) {
        if (info.fileName() == OwnFileName())
            continue;
        const QString holder = FileLock::ReadHolder(info.filePath());
        const qint64 age = info.lastModified().secsTo(QDateTime::currentDateTime());
        if (holder.isEmpty() || FileLock::HolderGone(holder, age))
            continue;
        const QStringList parts = holder.split(QLatin1Char(' '));
        others.append(QStringLiteral("%1 (%2)").arg(parts.value(0), parts.value(1)));
    }
    return others;
}
