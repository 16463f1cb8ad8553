#include "cli/canvas_option.h"
#include "cli/cli_messages.h"
#include "cli/command.h"
#include "cli/page_argument.h"
#include "common/find_files.h"
#include "compose/canvas_size_file.h"
#include "production/auto_pages.h"
#include "production/smart_selection.h"
#include "production/task_reference.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "templates/template_library.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("auto-pages");
constexpr int kMaxPages = 1000;

struct AutoPagesArguments {
    QString customer;
    QString product;
    int pages = 0;
    QString photoFolder;
    bool chosen = false; // the photos the customer chose in the review
    bool seeded = false;
    std::uint32_t seed = 0;
    QSize canvas;
};

bool Parse(const QStringList& args, AutoPagesArguments& out, QString& error) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (!option.startsWith("--")) {
            if (!out.customer.isEmpty()) {
                error = QStringLiteral("one customer only, \"%1\" is one too many").arg(option);
                return false;
            }
            out.customer = option;
            continue;
        }
        if (option == "--chosen") {
            out.chosen = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(option);
            return false;
        }
        const QString value = args[++i];
        bool ok = true;
        if (option == "--product") {
            out.product = value;
        } else if (option == "--pages") {
            out.pages = value.toInt(&ok);
            if (!ok || out.pages < 1 || out.pages > kMaxPages) {
                error = QStringLiteral("--pages needs a number from 1 to %1").arg(kMaxPages);
                return false;
            }
        } else if (option == "--photos") {
            out.photoFolder = value;
        } else if (option == "--seed") {
            out.seed = value.toUInt(&ok);
            out.seeded = true;
            if (!ok) {
                error = QStringLiteral("--seed needs a whole number from 0 to 4294967295");
                return false;
            }
        } else if (option == "--canvas") {
            if (!ParseCanvasValue(value, out.canvas, error))
                return false;
        } else {
            error = QStringLiteral("unknown option %1").arg(option);
            return false;
        }
    }
    if (out.customer.isEmpty() || out.product.isEmpty() || out.pages == 0 ||
        out.photoFolder.isEmpty() == !out.chosen) {
        error = QStringLiteral("needs CUSTOMER --product NAME --pages N and --photos DIR or "
                               "--chosen");
        return false;
    }
    return true;
}

// The customer's photos: the JPEG and PNG files directly in folder, in the
// studio's name order, so that a seed gives the same album whatever order
// the disk lists them in.
QStringList PhotosIn(const QString& folder) {
    QStringList names =
        QDir(folder).entryList({"*.jpg", "*.jpeg", "*.png"}, QDir::Files | QDir::Readable);
    SortFileNames(names);
    QStringList photos;
    for (const QString& name : names)
        photos.append(QDir(folder).absoluteFilePath(name));
    return photos;
}

// The photos the customer chose in the review that are still there, in the
// order they were shown.
QStringList ChosenPhotos(const QString& customer) {
    CustomerReview review;
    if (!IsUsableCustomerName(customer) || !ReadCustomerReview(CustomerFolder(customer), review))
        return {};
    QStringList photos;
    for (const QString& path : review.ChosenPhotos())
        if (QFileInfo(path).isFile())
            photos.append(path);
    return photos;
}

QJsonObject Report(const AutoPagesResult& result) {
    QJsonArray pages;
    for (const AutoPage& page : result.pages)
        pages.append(QJsonObject{{"page", page.name},
                                 {"template", page.templatePath},
                                 {"photos", QJsonArray::fromStringList(page.photos)}});
    return QJsonObject{{"pages", pages}};
}

int RunAutoPages(const QStringList& args) {
    AutoPagesArguments a;
    QString error;
    if (!Parse(args, a, error))
        return BadInput(kCommand, error);
    AutoPagesRequest request;
    request.pages = a.pages;
    if (a.chosen) {
        request.photos = ChosenPhotos(a.customer);
        if (request.photos.isEmpty())
            return BadInput(kCommand,
                            QStringLiteral("%1 has chosen no photos in a review").arg(a.customer));
    } else {
        if (!QFileInfo(a.photoFolder).isDir())
            return BadInput(kCommand, QStringLiteral("no folder %1").arg(a.photoFolder));
        request.photos = PhotosIn(a.photoFolder);
        if (request.photos.isEmpty())
            return BadInput(kCommand,
                            QStringLiteral("no JPEG or PNG photos in %1").arg(a.photoFolder));
    }
    request.canvasSize = a.canvas.isValid() ? a.canvas : LastCanvasSize();
    CustomerTask task;
    if (const int status = PrepareCustomerPage(kCommand, a.customer, a.product, task, request.save))
        return status;

    TemplateLibrary library(TemplateFolder());
    library.ReadSetIndex();
    library.SearchTemplates();

    SeededRandom random;
    if (a.seeded)
        random.Seed(a.seed);
    CliMessages messages(false);
    const AutoPagesResult result = MakeAutoPages(request, library, task, messages, random);
    PrintOut(QString::fromUtf8(QJsonDocument(Report(result)).toJson(QJsonDocument::Compact)));
    return result.complete ? 0 : 1;
}

CliCommandRegistrar registrar(
    {kCommand,
     QStringLiteral(
         "CUSTOMER --product NAME --pages N (--photos DIR | --chosen) [--seed S] [--canvas WxH]"),
     QStringLiteral(
         "Makes a first draft of N album pages for the ordered product: for each page a random "
         "template page whose list2.txt entry matches the product's proportion and size and has "
         "no more slots than photos of DIR left unused, filled with those photos and saved as "
         "\"保存\" does. A photo on the customer's pages or on an earlier page comes again only "
         "once every photo has been used, then the photos go round again. --chosen takes the "
         "photos the customer chose in the review by phone instead of DIR. The same seed gives "
         "the same album; without one the clock seeds the draws. Prints {\"pages\": "
         "[{\"page\", \"template\", \"photos\"}]}."),
     RunAutoPages});
} // namespace
