#include "cli/command.h"
#include "cli/review_arguments.h"
#include "review/review_actions.h"
#include "review/review_link.h"

namespace {
const QString kCommand = QStringLiteral("review-open");

int RunReviewOpen(const QStringList& args) {
    QString customer, host;
    ReviewOpening opening;
    for (int i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (!option.startsWith(QStringLiteral("--"))) {
            if (!customer.isEmpty())
                return BadInput(kCommand, QStringLiteral("one customer only"));
            customer = option;
            continue;
        }
        if (i + 1 >= args.size())
            return BadInput(kCommand, QStringLiteral("%1 needs a value").arg(option));
        const QString value = args[++i];
        if (option == QStringLiteral("--photos")) {
            opening.photoFolder = value;
        } else if (option == QStringLiteral("--choose")) {
            bool ok = false;
            opening.choose = value.toInt(&ok);
            if (!ok || *opening.choose < 0 || *opening.choose > 100000)
                return BadInput(kCommand, QStringLiteral("--choose needs a number from 0"));
        } else if (option == QStringLiteral("--host")) {
            host = value;
        } else {
            return BadInput(kCommand, QStringLiteral("unknown option %1").arg(option));
        }
    }
    const QString folder = ReviewCustomerFolder(kCommand, customer);
    if (folder.isEmpty())
        return 2;
    CustomerReview review;
    QString error;
    if (!OpenCustomerReview(folder, opening, review, error))
        return BadInput(kCommand, error);
    QString summary = QStringLiteral("%1: 第 %2 轮审阅").arg(customer).arg(review.round);
    if (!review.photos.isEmpty()) {
        summary += QStringLiteral(", %1 张照片可选").arg(review.photos.size());
        if (review.choose > 0)
            summary += QStringLiteral(" (最多 %1 张)").arg(review.choose);
    }
    PrintOut(summary);
    PrintOut(ReviewLink(host.isEmpty() ? ReviewHost() : host, ReviewPort(), review.token));
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER [--photos DIR] [--choose N] [--host HOST[:PORT]]"),
     QStringLiteral(
         "Opens the next round of the customer's review by phone: a new link (the old one "
         "stops working) to the finished pages and, with --photos, the JPEG and PNG photos of "
         "DIR to choose from (at most N with --choose). Prints the link as its last line, "
         "http://HOST:PORT/r/TOKEN/, HOST being this machine's address on the studio network "
         "(or --host, or the profile value review/host) and PORT review/port (8633)."),
     RunReviewOpen});
} // namespace
