#include "production/finished_pages.h"

#include "common/find_files.h"
#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/page_compositor.h"
#include "production/progress_run.h"
#include "records/customer_task.h"
#include "records/customer_update.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <memory>

namespace {

constexpr int kHighestPageNumber = 100;

// A page name that cannot form a path inside the customer folder: its files
// are never touched.
bool IsSafePageName(const QString& name) {
    PageFiles unused;
    return PageFilesFor(QStringLiteral("."), name, unused);
}

// The images that belong to the task's pages by name. A "*-N.jpg" file is a
// companion of page N only when it is none of these: page "A-2" of product A
// must not lose its preview or its rendered page with numbered page 2.
QSet<QString> ImagesOfPages(const CustomerTask& task) {
    QSet<QString> names;
    for (const auto& page : task.pages) {
        const QString name = page->Name();
        for (const QString& file :
             {name + ".jpg", name + ".png", "big" + name + ".jpg", "big" + name + ".png"})
            names.insert(file.toLower());
    }
    return names;
}

// The "*-N.jpg" companions of page N in folder, in the studio's name order.
QStringList CompanionsOf(const QString& folder, const QString& page, const CustomerTask& task) {
    const QString suffix = "-" + page + ".jpg";
    const QSet<QString> taken = ImagesOfPages(task);
    QStringList found;
    QStringList files = QDir(folder).entryList(QDir::Files);
    SortFileNames(files);
    for (const QString& file : files)
        if (file.endsWith(suffix, Qt::CaseInsensitive) && !taken.contains(file.toLower()))
            found.append(file);
    return found;
}

// The page's files: its preview, earlier renderings, its rendered page (a
// deleted page must not go on to the print lab with the next export), its
// layout folder and its "-N.jpg" companions. task no longer holds the page.
void RemovePageFiles(const QString& folder, const QString& name, const CustomerTask& task) {
    if (folder.isEmpty() || !IsSafePageName(name))
        return;
    QFile::remove(PageImagePath(folder, name, ".jpg"));
    QFile::remove(PageImagePath(folder, name, ".png"));
    QFile::remove(BigPageImagePath(folder, name, ".png"));
    QFile::remove(BigPageImagePath(folder, name, ".jpg"));
    QDir(PageDataFolder(folder, name)).removeRecursively();
    for (const QString& companion : CompanionsOf(folder, name, task))
        QFile::remove(folder + "/" + companion);
}

TaskPage* PageNamed(CustomerTask& task, const QString& name) {
    for (const auto& page : task.pages)
        if (page->Name() == name)
            return page.get();
    return nullptr;
}

// Moves what belongs to numbered page `from` to number `to`. The layout
// folder goes first: without it the page's other files would change number
// while the page itself stayed.
bool MoveNumberedPage(const QString& folder, int from, int to, const CustomerTask& task) {
    const QString i = QString::number(from);
    const QString c = QString::number(to);
    QDir dir(folder);
    if (!dir.rename("data" + i, "data" + c))
        return false;
    for (const QString& suffix : {QStringLiteral(".jpg"), QStringLiteral(".png")}) {
        dir.rename(i + suffix, c + suffix);
        dir.rename("big" + i + suffix, "big" + c + suffix);
    }
    const QStringList companions = CompanionsOf(folder, i, task);
    if (!companions.isEmpty()) {
        const QString& first = companions.first();
        dir.rename(first, first.left(first.lastIndexOf('-')) + "-" + c + ".jpg");
    }
    return true;
}

QString CentimetreText(double cm) {
    QString text = QString::asprintf("%0.1f", cm);
    if (text.size() >= 3 && text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

} // namespace

QString OutputSizePartFromPixels(QSize pixels, int dpi) {
    return QStringLiteral("   输出 %1,%2cm")
        .arg(CentimetreText(PixelsToCm(pixels.width(), dpi)),
             CentimetreText(PixelsToCm(pixels.height(), dpi)));
}

int ProductRowFor(const QString& pageName, const QList<OrderLine>& products) {
    const auto rowNamed = [&](const QString& name) {
        for (int row = 0; row < products.size(); ++row)
            if (!products[row].name.isEmpty() && products[row].name == name)
                return row;
        return -1;
    };
    const int exact = rowNamed(pageName);
    if (exact >= 0)
        return exact;
    const qsizetype dash = pageName.lastIndexOf('-');
    return dash >= 0 ? rowNamed(pageName.left(dash)) : -1;
}

QString SizeLabelText(QSize templateHundredths, const QString& outputPart) {
    return QStringLiteral("模板 %1,%2cm")
               .arg(CentimetreText(templateHundredths.width() * 0.01),
                    CentimetreText(templateHundredths.height() * 0.01)) +
           outputPart;
}

void RenumberNumberedPages(CustomerTask& task) {
    const QString folder = task.Folder();
    if (folder.isEmpty())
        return;
    int count = 0;
    for (int i = 1; i <= kHighestPageNumber; ++i) {
        const QString from = QString::number(i);
        if (!QFileInfo::exists(PageDataFolder(folder, from) + "/dat"))
            continue;
        const int c = ++count;
        if (c == i)
            continue;
        const QString to = QString::number(c);
        // A page of the task already called c (one whose layout record is
        // gone) would end up sharing this page's files.
        TaskPage* record = PageNamed(task, from);
        if (PageNamed(task, to))
            continue;
        if (MoveNumberedPage(folder, i, c, task) && record)
            record->SetName(to);
    }
}

bool RemoveFinishedPage(CustomerTask& task, int index) {
    if (index < 0 || index >= task.PageCount())
        return false;
    const QString name = task.pages[index]->Name();
    // Applied to the task as it is now: another station may have added
    // pages since this copy was read, or removed this one.
    return UpdateCustomerTask(task, [&](CustomerTask& current) {
        for (int i = 0; i < current.PageCount(); ++i) {
            if (current.pages[i]->Name() != name)
                continue;
            // Out of the task first, so that renumbering may give its number
            // to the next page.
            current.RemovePage(i);
            RemovePageFiles(current.Folder(), name, current);
            RenumberNumberedPages(current);
            break;
        }
        return true;
    });
}

bool DeleteFinishedPage(CustomerTask& task, int selected, CComposeCanvas& canvas,
                        IMessages& messages) {
    if (selected < 0) {
        messages.Inform(QStringLiteral("请先选中您要删除的成品"));
        return false;
    }
    if (!messages.AskYesNo(QStringLiteral("确认删除吗？")))
        return false;
    if (selected >= task.PageCount())
        return false;
    canvas.ClearSlots();
    if (RemoveFinishedPage(task, selected))
        return true;
    messages.Inform(QStringLiteral("保存失败!"));
    return false;
}

OpenedPage OpenFinishedPage(CustomerTask& task, int clicked, int selected, CComposeCanvas& canvas,
                            const QList<OrderLine>& products) {
    OpenedPage result;
    if (clicked < 0 || clicked >= task.PageCount() || task.Folder().isEmpty())
        return result;

    if (clicked != selected) {
        const TaskPage& page = *task.pages[clicked];
        const QString name = page.Name();
        if (!IsSafePageName(name) ||
            !QFileInfo::exists(PageDataFolder(task.Folder(), name) + "/dat")) {
            // A page that cannot be reopened is dropped. Nothing stays
            // selected: the position now names another page, which a save
            // would overwrite with what the canvas still shows.
            RemoveFinishedPage(task, clicked);
            result.removed = true;
            return result;
        }
        const auto before = canvas.placements();
        canvas.SetPlacements(page.placements);
        if (!canvas.LoadLayoutRecord(task.Path(), name, page.width, page.height)) {
            // A damaged record: the canvas keeps its page, and since that is
            // not this page, this page is not selected for a save to
            // overwrite.
            canvas.SetPlacements(before);
            return result;
        }
        result.loaded = true;
    }

    result.selected = clicked;
    result.relabel = true;
    result.outputPart = OutputSizePartFromPixels(canvas.pageSize(), CurrentDpi());
    result.sizeLabel = SizeLabelText(canvas.templateSize(), result.outputPart);
    result.productRow = ProductRowFor(task.pages[clicked]->Name(), products);
    return result;
}

PreviewPlan PrepareFinishedPagePreview(SavePageRequest request, CComposeCanvas& canvas,
                                       CustomerTask& task, IMessages& messages) {
    PreviewPlan plan;
    plan.selected = request.selectedPage;
    plan.save.customerName = request.customerName;
    bool renderable = true;
    if (canvas.HasTemplate()) {
        if (request.customerName.isEmpty())
            request.customerName = QString::fromUtf8(kPreviewCacheName);
        request.customerCheck = false;
        plan.save = SaveCanvasAsPage(request, canvas, task, messages);
        if (plan.save.pageIndex >= 0)
            plan.selected = plan.save.pageIndex;
        // After "保存失败!" the page on disk is not what the canvas shows.
        renderable = plan.save.saved;
    }
    if (renderable && !task.Path().isEmpty() && plan.selected >= 0 &&
        plan.selected < task.PageCount())
        plan.pageIndex = plan.selected;
    return plan;
}

void RunPreviewPage(const CustomerTask& task, int pageIndex, ProgressRun& run,
                    const ComposeEnvironment& env) {
    auto job = std::make_unique<ProgressJob>();
    job->pageIndex = pageIndex;
    job->task = &task;
    job->run = &run;
    job->env = env;
    PageThreadProc(std::move(job));
}
