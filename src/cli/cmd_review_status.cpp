#include "cli/command.h"
#include "cli/review_arguments.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "review/review_json.h"

#include <QJsonDocument>

namespace {
const QString kCommand = QStringLiteral("review-status");

int RunReviewStatus(const QStringList& args) {
    if (args.size() != 1)
        return BadInput(kCommand, QStringLiteral("needs CUSTOMER"));
    const QString folder = ReviewCustomerFolder(kCommand, args[0]);
    if (folder.isEmpty())
        return 2;
    CustomerReview review;
    ReadCustomerReview(folder, review);
    CustomerTask task;
    if (!task.Load(TaskFilePath(folder)))
        return BadInput(kCommand, QStringLiteral("cannot read %1").arg(TaskFilePath(folder)));
    const QJsonObject status = ReviewStatusJson(args[0], ReviewedPages(task, review), review);
    PrintOut(QString::fromUtf8(QJsonDocument(status).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER"),
     QStringLiteral(
         "Prints the customer's review as JSON: {\"customer\", \"round\", \"open\", \"pages\": "
         "[{\"index\", \"file\", \"state\", \"comment\", \"pin\", \"by\", \"at\"}], \"chosen\": "
         "[photo file names]}; state is \"open\", \"approved\" or \"changes\", pin null or "
         "[x, y] as fractions of the page. A page saved again after its decision is open."),
     RunReviewStatus});
} // namespace
