#include "cli/canvas_option.h"
#include "cli/cli_messages.h"
#include "cli/command.h"
#include "cli/page_argument.h"
#include "compose/canvas_size_file.h"
#include "compose/compose_canvas.h"
#include "production/new_page.h"
#include "production/task_reference.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("add-page");

struct AddPageArguments {
    QString customer;
    QString templatePath;
    QString product;
    QStringList photos;
    QSize canvas;
};

bool Parse(const QStringList& args, AddPageArguments& out, QString& error) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(option);
            return false;
        }
        const QString value = args[++i];
        if (option == "--customer") {
            out.customer = value;
        } else if (option == "--template") {
            out.templatePath = value;
        } else if (option == "--product") {
            out.product = value;
        } else if (option == "--photo") {
            out.photos.append(value);
        } else if (option == "--canvas") {
            if (!ParseCanvasValue(value, out.canvas, error))
                return false;
        } else {
            error = QStringLiteral("unknown option %1").arg(option);
            return false;
        }
    }
    if (out.customer.isEmpty() || out.templatePath.isEmpty()) {
        error = QStringLiteral("needs --customer NAME and --template FILE.temp");
        return false;
    }
    return true;
}

int RunAddPage(const QStringList& args) {
    AddPageArguments a;
    QString error;
    if (!Parse(args, a, error))
        return BadInput(kCommand, error);
    CustomerTask task;
    SavePageRequest request;
    if (const int status = PrepareCustomerPage(kCommand, a.customer, a.product, task, request))
        return status;

    CComposeCanvas canvas;
    canvas.SetClientSize(a.canvas.isValid() ? a.canvas : LastCanvasSize());
    if (request.product) {
        const int dpi = CurrentDpi();
        canvas.SetProductSize(QSize(CmToPixels(request.product->width, dpi),
                                    CmToPixels(request.product->height, dpi)));
    }
    if (!canvas.LoadTemplateFile(QFileInfo(a.templatePath).absoluteFilePath(), true))
        return BadInput(kCommand, QStringLiteral("cannot read template %1").arg(a.templatePath));
    // compose-task leaves out every page whose background does not decode
    // (a damaged or hostile picture): such a page would never be printed.
    if (canvas.backgroundImage().isNull())
        return BadInput(
            kCommand,
            QStringLiteral("template %1: its background does not decode").arg(a.templatePath));
    if (a.photos.size() > canvas.slotCount())
        return BadInput(kCommand, QStringLiteral("the template has %1 photo slots, %2 photos given")
                                      .arg(canvas.slotCount())
                                      .arg(a.photos.size()));
    for (int slot = 0; slot < a.photos.size(); ++slot) {
        if (!canvas.PutPhoto(QFileInfo(a.photos[slot]).absoluteFilePath(), true, slot))
            return BadInput(kCommand, QStringLiteral("cannot read photo %1").arg(a.photos[slot]));
        // A page saved with an empty slot where a photo was asked for would
        // pass for a finished one.
        if (!canvas.HasSlotImage(slot))
            return BadInput(kCommand,
                            QStringLiteral("photo %1 does not decode").arg(a.photos[slot]));
    }

    CliMessages messages(false);
    const SavePageResult saved = SaveCanvasAsPage(request, canvas, task, messages);
    if (saved.pageIndex < 0)
        return 1;
    const TaskPage& page = *task.pages[saved.pageIndex];
    const QJsonObject result{
        {"customer", saved.customerName},
        {"page", saved.pageName},
        {"page_index", saved.pageIndex},
        {"width", page.width},
        {"height", page.height},
        {"preview", PageImagePath(task.Folder(), saved.pageName, ".jpg")},
        {"saved", saved.saved},
    };
    PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Compact)));
    return saved.saved ? 0 : 1;
}

CliCommandRegistrar registrar(
    {kCommand,
     QStringLiteral("--customer NAME --template FILE.temp [--product NAME] [--photo FILE]... "
                    "[--canvas WxH]"),
     QStringLiteral("Saves a new finished page as \"保存\" does: the template with the photos in "
                    "slots 0, 1, ... composed in a canvas of WxH (default: the desktop's last), "
                    "named and sized after the ordered product; prints the page as JSON."),
     RunAddPage});
} // namespace
