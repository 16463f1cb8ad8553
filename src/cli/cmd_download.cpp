#include "cli/command.h"
#include "download/download_settings.h"
#include "download/template_downloader.h"
#include "records/installation_id.h"
#include "records/workspace_paths.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {
const QString kCommand = QStringLiteral("download");

std::atomic<bool> interrupted{false};

// Ctrl+C cancels the download: the file in hand is dropped, the library
// keeps every file that arrived whole. Only a lock-free atomic and write(2)
// are used here, which is all a signal handler may do.
void OnInterrupt(int) {
    interrupted.store(true);
    static const char text[] = "\n正在中止,请稍候...\n";
    const ssize_t written = write(STDERR_FILENO, text, sizeof text - 1);
    (void)written;
}

// The worker's reports on the console: every status line on stdout; on
// stderr a bar redrawn in place when it is a terminal, else one plain line
// per entry.
class ConsoleDownload final : public IDownloadObserver {
public:
    ConsoleDownload() : terminal_(isatty(STDERR_FILENO)) {}

    void OnStatus(const QString& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearBar();
        PrintOut(text);
        DrawBar();
    }

    void OnProgress(int entry, int entries, qint64 bytes, qint64 total) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!terminal_) {
            if (entry != entry_ || entries != entries_)
                PrintErr(QStringLiteral("进度: %1/%2").arg(entry).arg(entries));
            entry_ = entry;
            entries_ = entries;
            return;
        }
        entry_ = entry;
        entries_ = entries;
        bytes_ = bytes;
        total_ = total;
        DrawBar();
    }

    void OnFinished(const DownloadResult& result) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearBar();
        result_ = result;
    }

    DownloadResult result() {
        std::lock_guard<std::mutex> lock(mutex_);
        return result_;
    }

private:
    static constexpr int kBarWidth = 30;

    void DrawBar() {
        if (!terminal_ || entries_ <= 0)
            return;
        const int filled = qBound(0, (entry_ - 1) * kBarWidth / entries_, kBarWidth);
        QString line = QStringLiteral("\r[%1%2] %3/%4")
                           .arg(QString(filled, '#'), QString(kBarWidth - filled, '.'))
                           .arg(entry_)
                           .arg(entries_);
        if (bytes_ > 0)
            line += total_ > 0 ? QStringLiteral("  %1%").arg(bytes_ * 100 / total_)
                               : QStringLiteral("  %1 KB").arg(bytes_ / 1024);
        if (shown_ && line == drawn_)
            return;
        Write(line);
        drawn_ = line;
        shown_ = true;
    }
    void ClearBar() {
        if (shown_)
            Write(QStringLiteral("\r\x1b[K"));
        shown_ = false;
    }
    static void Write(const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
        std::fflush(stderr);
    }

    const bool terminal_;
    std::mutex mutex_;
    bool shown_ = false;
    QString drawn_;
    int entry_ = 0;
    int entries_ = 0;
    qint64 bytes_ = 0;
    qint64 total_ = 0;
    DownloadResult result_;
};

int RunDownload(const QStringList& args) {
    const DownloadSettings settings = ReadDownloadSettings();
    DownloadRequest request;
    request.lookupBase = settings.lookupUrl;
    request.ftpPort = settings.ftpPort;
    for (int i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (i + 1 >= args.size() ||
            !(option == "--category" || option == "--lookup" || option == "--ftp-port"))
            return BadInput(kCommand, QStringLiteral("unknown argument %1").arg(option));
        const QString value = args[++i];
        if (option == "--category") {
            const int index = CategoryIndex(value);
            if (index < 0)
                return BadInput(
                    kCommand,
                    QStringLiteral("no category %1 (婚纱, 儿童, 写真, 全家福)").arg(value));
            request.categories[index] = true;
        } else if (option == "--lookup") {
            if (!IsLookupBaseUrl(value))
                return BadInput(
                    kCommand,
                    QStringLiteral("--lookup needs http://HOST[:PORT], not %1").arg(value));
            request.lookupBase = value;
        } else {
            request.ftpPort = ParsePort(value);
            if (request.ftpPort == 0)
                return BadInput(kCommand, QStringLiteral("--ftp-port needs 1 to 65535"));
        }
    }
    request.installationId = InstallationId();
    request.root = TemplateFolder();

    struct sigaction action = {}, previous = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND; // a second Ctrl+C ends the program at once
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    ConsoleDownload console;
    TemplateDownloader downloader;
    const QString refusal = downloader.Start(request, console);
    if (!refusal.isEmpty()) {
        sigaction(SIGINT, &previous, nullptr);
        PrintOut(refusal);
        return 1;
    }
    while (downloader.IsRunning()) {
        if (interrupted.load())
            downloader.Cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    downloader.Wait();
    sigaction(SIGINT, &previous, nullptr);

    const DownloadResult result = console.result();
    switch (result.end) {
    case DownloadEnd::Completed:
        return 0;
    case DownloadEnd::Refused:
        PrintOut(result.message);
        return 1;
    case DownloadEnd::Cancelled:
        PrintErr(QStringLiteral("taoban-cli download: cancelled"));
        return 1;
    case DownloadEnd::LimitReached:
        PrintErr(QStringLiteral("taoban-cli download: gave up after %1 started files")
                     .arg(kDownloadLimit));
        return 1;
    }
    return 1;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("[--category WORD]... [--lookup URL] [--ftp-port N]"),
     QStringLiteral("Fills the template library from the template server: asks the address "
                    "lookup (URL, e.g. http://127.0.0.1:8080, else the profile value) for the FTP "
                    "server, fetches list.txt, list2.txt and every listed file of the categories "
                    "(婚纱, 儿童, 写真, 全家福) that is missing or has another size, and repeats "
                    "until a pass completes. One status line per event; Ctrl+C cancels."),
     RunDownload});
} // namespace
