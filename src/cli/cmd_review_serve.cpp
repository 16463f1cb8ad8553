#include "cli/command.h"
#include "cli/review_arguments.h"
#include "records/workspace_paths.h"
#include "review/review_server.h"

#include <csignal>
#include <pthread.h>

namespace {
const QString kCommand = QStringLiteral("review-serve");

int RunReviewServe(const QStringList& args) {
    ReviewServerOptions options;
    options.port = ReviewPort();
    if (args.size() == 2 && args[0] == QStringLiteral("--listen")) {
        if (!ParseListenAddress(args[1], options.address, options.port))
            return BadInput(kCommand, QStringLiteral("--listen needs ADDR:PORT, e.g. "
                                                     "192.168.1.10:8633 or 127.0.0.1:8633"));
    } else if (!args.isEmpty()) {
        return BadInput(kCommand, QStringLiteral("usage: review-serve [--listen ADDR:PORT]"));
    }
    // Ended by Ctrl+C or a stop signal, taken here by this thread alone:
    // the server's threads start with them blocked.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    ReviewServer server(TaskStoreFolder(), options);
    QString error;
    if (!server.Start(error))
        return BadInput(kCommand, error);
    PrintOut(QStringLiteral("审阅服务: http://%1:%2/  (Ctrl+C 结束)")
                 .arg(options.address)
                 .arg(server.port()));
    int signal = 0;
    sigwait(&stop, &signal);
    server.Stop();
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("[--listen ADDR:PORT]"),
     QStringLiteral("Serves the customers' open reviews to their phones in the foreground "
                    "until Ctrl+C: by default on every address of this machine at port "
                    "review/port (8633), with --listen only there. Put it behind a TLS "
                    "reverse proxy to reach it from outside the studio (see the README)."),
     RunReviewServe});
} // namespace
