// The lock stations of one studio folder share: held, waited for, and taken
// over from a holder that is gone.

#include "common/file_lock.h"
#include "test_support.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString Holder(const QString& host, qint64 pid) {
    return QStringLiteral("%1 anna %2 %3")
        .arg(host)
        .arg(pid)
        .arg(QDateTime::currentDateTime().toString(Qt::ISODate));
}

TEST(FileLock, WhoseHolderIsGone) {
    const QString here = QSysInfo::machineHostName();
    const struct {
        QString holder;
        qint64 age;
        bool gone;
    } cases[] = {
        {Holder(here, getpid()), 9999, false},   // this host, running
        {Holder(here, 999999), 0, true},         // this host, no such process
        {Holder("studio-pc2", 4242), 30, false}, // another host, recent
        {Holder("studio-pc2", 4242), 121, true}, // another host, two minutes old
        {QStringLiteral("garbage"), 30, false},  // unreadable: only time tells
        {QStringLiteral("garbage"), 300, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileLock::HolderGone(c.holder, c.age), c.gone) << qPrintable(c.holder);
}

TEST(FileLock, HeldWaitedForAndTakenOverFromAKilledHolder) {
    TestFolder dir;
    const QString path = dir.file(".taoban.lock");
    {
        const auto held = FileLock::Acquire(path);
        ASSERT_TRUE(held);
        EXPECT_TRUE(FileLock::ReadHolder(path).startsWith(QSysInfo::machineHostName() + " "));
        EXPECT_FALSE(FileLock::Acquire(path, 200)) << "held: a second writer waits, then gives up";
    }
    EXPECT_FALSE(QFile::exists(path)) << "released";

    // A station on another host holding it right now.
    ASSERT_TRUE(WriteBytes(path, Holder("studio-pc2", 4242).toUtf8()));
    EXPECT_FALSE(FileLock::Acquire(path, 200));
    EXPECT_TRUE(FileLock::ReadHolder(path).startsWith("studio-pc2 "));
    QFile::remove(path);

    // A holder on this host killed while it held the lock.
    QProcess holder;
    holder.start(QStringLiteral("bash"), {"-c", "echo \"$1 anna $$ now\" > \"$2\"; exec sleep 60",
                                          "bash", QSysInfo::machineHostName(), path});
    ASSERT_TRUE(holder.waitForStarted());
    for (int i = 0; i < 250 && FileLock::ReadHolder(path).isEmpty(); ++i)
        QThread::msleep(20);
    ASSERT_FALSE(FileLock::ReadHolder(path).isEmpty());
    EXPECT_FALSE(FileLock::Acquire(path, 200)) << "its holder still runs";
    holder.kill();
    ASSERT_TRUE(holder.waitForFinished());
    const auto taken = FileLock::Acquire(path, 2000);
    ASSERT_TRUE(taken);
    EXPECT_EQ(FileLock::ReadHolder(path).section(' ', 2, 2), QString::number(getpid()));
}

} // namespace
