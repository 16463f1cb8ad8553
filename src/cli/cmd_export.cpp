#include "cli/cli_messages.h"
#include "cli/command.h"
#include "production/export_manifest.h"
#include "production/export_pages.h"
#include "production/lab_export.h"
#include "production/status_file.h"
#include "records/customer_review.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {
const QString kCommand = QStringLiteral("export");

int RunExport(const QStringList& args) {
    QStringList rest = args;
    const bool open = rest.removeAll("--open") > 0;
    const bool force = rest.removeAll("--force") > 0;
    QString labName;
    const qsizetype labAt = rest.indexOf("--lab");
    if (labAt >= 0) {
        if (labAt + 1 >= rest.size() || rest[labAt + 1].isEmpty())
            return BadInput(kCommand, QStringLiteral("--lab needs a lab profile NAME"));
        labName = rest[labAt + 1];
        rest.remove(labAt, 2);
    }
    const bool withManifest = rest.removeAll("--manifest") > 0;
    if (rest.size() != 2 || rest[0].isEmpty() || rest[1].isEmpty())
        return BadInput(kCommand, QStringLiteral("needs CUSTOMER and DEST"));
    const QString customer = rest[0];
    const QString folder = CustomerFolder(customer);
    if (!IsUsableCustomerName(customer) || !QFileInfo(folder).isDir())
        return BadInput(kCommand, QStringLiteral("no customer task %1").arg(customer));
    const QString destination = QDir(rest[1]).absolutePath();
    ExportWriter writer;
    if (!labName.isEmpty()) {
        LabProfile lab;
        QString error;
        if (!ReadLabProfile(labName, lab, error))
            return BadInput(kCommand, error);
        LabExportOptions options;
        options.force = force;
        options.showFindings = [&customer](const QList<PreflightFinding>& findings) {
            PrintOut(QString::fromUtf8(PreflightJson(customer, findings)).trimmed());
        };
        writer = LabExportWriter(lab, customer, options);
    }
    // Pages the customer has not approved go to print only when asked to.
    const QList<UnapprovedPage> unapproved = UnapprovedPages(folder);
    if (!unapproved.isEmpty() && !force) {
        PrintOut(UnapprovedPagesText(unapproved));
        PrintErr(QStringLiteral("taoban-cli export: not exported; add --force to export anyway"));
        return 1;
    }

    CliMessages messages(false);
    ExportManifest manifest;
    const ExportResult result = ExportCustomer(
        customer, ReadOutputStatus(folder), [&] { return destination; }, messages,
        [open](const QString& exported) {
            if (open)
                QProcess::startDetached(QStringLiteral("xdg-open"), {exported});
        },
        writer, withManifest || !labName.isEmpty() ? &manifest : nullptr);
    return result == ExportResult::Done ? 0 : 1;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER DEST [--lab NAME] [--force] [--manifest] [--open]"),
     QStringLiteral(
         "Copies the customer's rendered pages into DEST/CUSTOMER/<product>/1.jpg, "
         "2.jpg, ... per ordered product; --lab writes them by the lab profile "
         "<base>/设置/labs/NAME.json instead, after its preflight (findings: JSON on stdout, "
         "status 1, nothing written; --force exports anyway and writes them as "
         "preflight.json), with manifest.csv; --manifest also writes DEST/CUSTOMER/manifest.csv "
         "for the lab; --open shows the folder afterwards. At most 100 pages of a product "
         "are exported: the products with more are named, status 1. While the customer's "
         "review is open, pages the customer has not approved are named and nothing is "
         "exported (status 1) unless --force is given."),
     RunExport});
} // namespace
