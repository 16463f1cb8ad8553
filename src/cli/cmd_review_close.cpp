#include "cli/command.h"
#include "cli/review_arguments.h"
#include "records/customer_review.h"
#include "review/review_actions.h"

#include <QFileInfo>

namespace {
const QString kCommand = QStringLiteral("review-close");

int RunReviewClose(const QStringList& args) {
    if (args.size() != 1)
        return BadInput(kCommand, QStringLiteral("needs CUSTOMER"));
    const QString folder = ReviewCustomerFolder(kCommand, args[0]);
    if (folder.isEmpty())
        return 2;
    if (!QFileInfo::exists(ReviewFilePath(folder))) {
        PrintOut(QStringLiteral("此客人没有审阅"));
        return 1;
    }
    if (!CloseCustomerReview(folder))
        return BadInput(kCommand, QStringLiteral("cannot write %1").arg(ReviewFilePath(folder)));
    PrintOut(QStringLiteral("%1: 审阅已结束").arg(args[0]));
    return 0;
}

CliCommandRegistrar
    registrar({kCommand, QStringLiteral("CUSTOMER"),
               QStringLiteral("Ends the customer's review: its link stops working; the choices and "
                              "decisions stay for review-status."),
               RunReviewClose});
} // namespace
