#include "production/new_page.h"

#include "common/gbk.h"
#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "records/customer_task.h"
#include "records/customer_update.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kPageNameBytes = TaskPage::kNameBytes - 1;

const QString kUnknownProduct = QStringLiteral("未知产品");

// The product name cut so that the suffix still fits the page record.
QString Fitted(const QString& product, const QString& suffix) {
    const int room = kPageNameBytes - static_cast<int>(ToGbk(suffix).size());
    return FromGbk(CutGbk(ToGbk(product), room)) + suffix;
}

QString TaskFolderOf(const CustomerTask& task) {
    return task.Folder();
}

// Writes the page's layout record; false when it could not be written,
// since a page without it cannot be reopened or rendered.
bool WriteLayout(CComposeCanvas& canvas, const CustomerTask& task, const QString& name) {
    const QString folder = TaskFolderOf(task);
    QFile::remove(PageImagePath(folder, name, ".png"));
    QFile::remove(BigPageImagePath(folder, name, ".png"));
    return canvas.WriteLayoutRecord(task.Path(), name);
}

} // namespace

QString NewPageName(const QString& folder, const QString& product, const QStringList& pageNames) {
    // Page names become file names; a separator would lead out of the folder.
    QString base = product;
    base.replace('/', '_');
    base.replace('\\', '_');
    QString name = Fitted(base, {});
    // Two pages of one name would share one layout record, the older page
    // losing its photos to the newer one.
    const auto taken = [&](const QString& candidate) {
        return QFileInfo::exists(PageImagePath(folder, candidate, ".jpg")) ||
               pageNames.contains(candidate);
    };
    for (int n = 2; taken(name); ++n)
        name = Fitted(base, "-" + QString::number(n));
    return name;
}

SavePageResult SaveCanvasAsPage(const SavePageRequest& request, CComposeCanvas& canvas,
                                CustomerTask& task, IMessages& messages) {
    SavePageResult result;
    result.customerName = request.customerName;
    if (request.customerChosen && result.customerName.isEmpty()) {
        if (request.customerCheck) {
            messages.Inform(QStringLiteral("请先选择客人！"));
            return result;
        }
        result.customerName = QString::fromUtf8(kPreviewCacheName);
    }

    const int dpi = CurrentDpi();
    QString product = kUnknownProduct;
    QSize output(0, 0);
    if (request.product) {
        product = request.product->name;
        output = QSize(CmToPixels(request.product->width, dpi),
                       CmToPixels(request.product->height, dpi));
    }

    // A page larger than any print would take gigabytes to render.
    const QSize pageSize = output.width() >= 1 ? output : canvas.templateSize();
    if (canvas.HasTemplate() && AbovePageLimit(pageSize.width(), pageSize.height())) {
        messages.Inform(QStringLiteral("尺寸错误"));
        return result;
    }

    // Nothing to save and no customer: no task is started for it, neither
    // the customer's nor the preview cache.
    if (!request.customerChosen && task.Path().isEmpty() && !canvas.HasTemplate())
        return result;

    if (task.Path().isEmpty()) {
        // Without a chosen customer the page is kept in the preview cache
        // rather than in no folder at all.
        const QString folder =
            request.customerChosen ? CustomerFolder(result.customerName) : PreviewCacheFolder();
        QDir().mkpath(TaskStoreFolder());
        QDir().mkpath(folder);
        // A task file already there keeps its pages: starting afresh would
        // write an empty page list over them.
        if (!QFileInfo::exists(TaskFilePath(folder)) || !task.Load(TaskFilePath(folder))) {
            task.Clear();
            task.SetPath(TaskFilePath(folder));
            if (request.customerChosen)
                task.phone = request.customerDisplayName;
        }
    }

    // The selected page is known by its name: another station may have
    // added or removed pages since this task was read.
    const QString selectedName =
        request.selectedPage >= 0 && request.selectedPage < task.PageCount()
            ? task.pages[request.selectedPage]->Name()
            : QString();
    bool written = true;
    QString previewOf; // the page whose preview JPEG is written last
    const bool updated = UpdateCustomerTask(task, [&](CustomerTask& current) {
        if (!canvas.HasTemplate())
            return true;
        int selectedIndex = -1;
        for (int i = 0; i < current.PageCount() && !selectedName.isEmpty(); ++i) {
            if (current.pages[i]->Name() == selectedName) {
                selectedIndex = i;
                break;
            }
        }
        bool isNew = selectedIndex < 0 || canvas.templateChanged();
        if (!isNew && request.customerChosen) {
            QString stem = selectedName;
            const qsizetype dash = stem.lastIndexOf('-');
            if (dash >= 0)
                stem.truncate(dash);
            isNew = stem != product;
        }

        if (isNew) {
            // Named under the lock: two stations saving the same product at
            // once get two names.
            auto page = std::make_unique<TaskPage>();
            QStringList pageNames;
            for (const auto& existing : current.pages)
                pageNames.append(existing->Name());
            page->SetName(NewPageName(TaskFolderOf(current), product, pageNames));
            page->width = pageSize.width();
            page->height = pageSize.height();
            page->placements = canvas.placements();
            written = WriteLayout(canvas, current, page->Name());
            if (written) {
                result.pageName = page->Name();
                previewOf = page->Name();
                current.pages.push_back(std::move(page));
                result.pageIndex = current.PageCount() - 1;
                result.newPage = true;
            }
        } else {
            TaskPage& page = *current.pages[selectedIndex];
            if (output.width() >= 1) {
                page.width = output.width();
                page.height = output.height();
            }
            page.placements = canvas.placements();
            written = WriteLayout(canvas, current, page.Name());
            result.pageName = page.Name();
            previewOf = page.Name();
            result.pageIndex = selectedIndex;
        }
        return true;
    });

    canvas.ClearTemplateChanged();
    canvas.ClearModified();
    result.saved = updated && written;
    // The preview JPEG goes last: an existing preview takes its page's name
    // from every later page, so it must only ever stand for a page the task
    // file already lists. A save cut short before this point leaves the
    // name free, and the layout record is written again under it.
    if (result.saved && !previewOf.isEmpty())
        canvas.SaveComposite(PageImagePath(TaskFolderOf(task), previewOf, ".jpg"));
    // A page that did not reach the disk must not pass for a saved one.
    if (!result.saved)
        messages.Inform(QStringLiteral("保存失败!"));
    return result;
}
