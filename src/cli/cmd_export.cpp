#include "cli/cli_messages.h"
#include "cli/command.h"
#include "production/export_manifest.h"
#include "production/export_pages.h"
#include "production/status_file.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {
const QString kCommand = QStringLiteral("export");

int RunExport(const QStringList& args) {
    QStringList rest = args;
    const bool open = rest.removeAll("--open") > 0;
    const bool withManifest = rest.removeAll("--manifest") > 0;
    if (rest.size() != 2 || rest[0].isEmpty() || rest[1].isEmpty())
        return BadInput(kCommand, QStringLiteral("needs CUSTOMER and DEST"));
    const QString customer = rest[0];
    const QString folder = CustomerFolder(customer);
    if (!IsUsableCustomerName(customer) || !QFileInfo(folder).isDir())
        return BadInput(kCommand, QStringLiteral("no customer task %1").arg(customer));
    const QString destination = QDir(rest[1]).absolutePath();

    CliMessages messages(false);
    ExportManifest manifest;
    const ExportResult result = ExportCustomer(
        customer, ReadOutputStatus(folder), [&] { return destination; }, messages,
        [open](const QString& exported) {
            if (open)
                QProcess::startDetached(QStringLiteral("xdg-open"), {exported});
        },
        withManifest ? &manifest : nullptr);
    return result == ExportResult::Done ? 0 : 1;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER DEST [--open] [--manifest]"),
     QStringLiteral("Copies the customer's rendered pages into DEST/CUSTOMER/<product>/1.jpg, "
                    "2.jpg, ... per ordered product; --open shows the folder afterwards; "
                    "--manifest also writes DEST/CUSTOMER/manifest.csv for the lab."),
     RunExport});
} // namespace
