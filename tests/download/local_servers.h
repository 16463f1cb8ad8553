#pragma once

// The template server's two services as real servers on 127.0.0.1, run by
// Debian's python3 from local_servers.py, and the template trees they serve.
// Header-only, so the window tests can use it as well.

#include "common/gbk.h"
#include "download/download_worker.h"
#include "test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace local_servers {

inline const QString kPython = QStringLiteral("/usr/bin/python3");
inline const QString kScript = QStringLiteral(TAOBAN_SOURCE_DIR "/tests/download/local_servers.py");

// Requests to 127.0.0.1 must not wander off to a proxy of the machine.
inline void BypassProxies() {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy",
                             "FTP_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(name);
}

// A port of 127.0.0.1 on which nothing listens.
inline int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// One server process; stopped when the object goes.
class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() { Stop(); }

    // Starts the script with args and waits for its "PORT <n>" line.
    bool Start(const QStringList& args) {
        BypassProxies();
        Stop();
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(kPython, QStringList{kScript} + args);
        if (!process_.waitForStarted(10000))
            return false;
        while (process_.state() == QProcess::Running) {
            if (!process_.canReadLine() && !process_.waitForReadyRead(10000))
                break;
            while (process_.canReadLine()) {
                const QString line = QString::fromUtf8(process_.readLine()).trimmed();
                if (line.startsWith("PORT ")) {
                    port_ = line.mid(5).toInt();
                    return port_ > 0;
                }
            }
        }
        ADD_FAILURE() << "server did not start: " << process_.readAllStandardError().toStdString();
        return false;
    }
    void Stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    // Freezes and thaws the server, as a server that stops answering.
    void Pause() { SignalRunningProcess(process_, SIGSTOP); }
    void Resume() { SignalRunningProcess(process_, SIGCONT); }
    int port() const { return port_; }
    // Lines the server printed since the last call.
    QStringList TakeLines() {
        process_.waitForReadyRead(50);
        QStringList lines;
        while (process_.canReadLine())
            lines << QString::fromUtf8(process_.readLine()).trimmed();
        return lines;
    }

private:
    QProcess process_;
    int port_ = 0;
};

// The FTP service with the studios' account over root.
class FtpServer : public ServerProcess {
public:
    // port 0: a free one; rate: bytes a second per transfer, 0 unlimited.
    bool Start(const QString& root, int port = 0, int rate = 0,
               const QString& password = QString::fromLatin1(kFtpPassword)) {
        return ServerProcess::Start({"ftp", "--root", root, "--user", QString::fromLatin1(kFtpUser),
                                     "--password", password, "--port", QString::number(port),
                                     "--rate", QString::number(rate)});
    }
};

// The address lookup; it answers with the text last given to Reply.
class LookupServer : public ServerProcess {
public:
    bool Start(const QString& replyFile) {
        replyFile_ = replyFile;
        return Reply("") && ServerProcess::Start({"http", "--reply", replyFile});
    }
    bool Reply(const QByteArray& body) { return WriteBytes(replyFile_, body); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }

private:
    QString replyFile_;
};

// Writes bytes to root/relative (forward slashes), making its folders.
inline bool PutFile(const QString& root, const QString& relative, const QByteArray& bytes) {
    const QString path = root + "/" + relative;
    return QDir().mkpath(QFileInfo(path).path()) && WriteBytes(path, bytes);
}

// Distinct bytes for a file of the given size (not an image: the download
// moves files, it does not look into them).
inline QByteArray Filler(int size, char seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7 + i / 251);
    return bytes;
}

// "list.txt" in GBK with CR LF line ends.
inline bool WriteList(const QString& root, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += ToGbk(line) + "\r\n";
    return WriteBytes(root + "/list.txt", bytes);
}

// The line "list.txt" has for a file of root: its size, ";", the path with
// backslashes.
inline QString ListLine(const QString& root, const QString& relative) {
    return QStringLiteral("%1;%2")
        .arg(QFileInfo(root + "/" + relative).size())
        .arg(QString(relative).replace('/', '\\'));
}

// The files under root (relative, forward slashes), hidden ones included.
inline QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Relative paths whose bytes differ between the trees, or that one lacks.
inline QStringList TreeDifferences(const QString& a, const QString& b) {
    QStringList differences;
    const QStringList inA = FilesUnder(a);
    const QStringList inB = FilesUnder(b);
    for (const QString& f : inA)
        if (!inB.contains(f) || ReadBytes(a + "/" + f) != ReadBytes(b + "/" + f))
            differences << f;
    for (const QString& f : inB)
        if (!inA.contains(f))
            differences << f;
    return differences;
}

} // namespace local_servers
