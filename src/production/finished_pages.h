#pragma once

#include "production/compose_task.h"
#include "production/new_page.h"
#include "records/order_lines.h"

#include <QList>
#include <QSize>
#include <QString>

class CComposeCanvas;
class CustomerTask;
class IMessages;
class ProgressRun;

// The finished pages of the open customer task as the operator works on
// them: reopening one in the canvas, deleting one, keeping numbered pages
// without gaps, and previewing the canvas at full size. The main window and
// taoban-cli both go through these.

// What a click on a finished page did.
struct OpenedPage {
    // The selected page afterwards; -1 for none.
    int selected = -1;
    // The page's layout record and slot records are now in the canvas.
    bool loaded = false;
    // The page had no layout record and was removed with its files; the
    // task file is written and the caller rebuilds its list.
    bool removed = false;
    // The caller rebuilds its size label (template part + outputPart) and
    // selects productRow in its order list (clears the selection for -1).
    bool relabel = false;
    // "   输出 W,Hcm" from the canvas's page size in pixels.
    QString outputPart;
    // The whole label: the canvas's template part, then outputPart.
    QString sizeLabel;
    // The index into products of the page's product: the product named as
    // the page, else the one named as the page cut before its last "-".
    int productRow = -1;
};

// The click on page `clicked` of the finished-page list (-1: the click hit
// no page) while `selected` is the selected page. A page other than the
// selected one is reopened in the canvas; clicking the selected page again
// reloads nothing but still relabels. products: the order lines as the
// caller lists them (a product without a name never matches).
OpenedPage OpenFinishedPage(CustomerTask& task, int clicked, int selected, CComposeCanvas& canvas,
                            const QList<OrderLine>& products);

// "删除" with page `selected` selected (-1 for none): says
// "请先选中您要删除的成品" without a selection, asks "确认删除吗？", then
// empties the canvas, removes the page's files and record, renumbers the
// numbered pages and writes the task file. True when the page was deleted;
// the selection is then -1.
bool DeleteFinishedPage(CustomerTask& task, int selected, CComposeCanvas& canvas,
                        IMessages& messages);

// Removes page `index` of the task with its files, renumbers the numbered
// pages and writes the task file. False for an index that names no page.
bool RemoveFinishedPage(CustomerTask& task, int index);

// Pages saved under plain numbers ("1", "2", ...) stay numbered without gaps:
// for the numbers 1 to 100 whose "data<i>/dat" exists, in ascending order,
// page i becomes page c (its count among them) with its layout folder,
// ".jpg", ".png", "big" images and its first "-<i>.jpg" companion, and the
// task's record of page i takes the new name.
void RenumberNumberedPages(CustomerTask& task);

// The order line a page belongs to: the product named as the page, else
// the one named as the page cut before its last "-"; -1 for none. A product
// without a name never matches.
int ProductRowFor(const QString& pageName, const QList<OrderLine>& products);

// "   输出 W,Hcm" from a page size in pixels at dpi, each side "%0.1f"
// centimetres with a trailing ".0" dropped.
QString OutputSizePartFromPixels(QSize pixels, int dpi);

// "模板 W,Hcm" from a template size in 0.01 cm followed by outputPart.
QString SizeLabelText(QSize templateHundredths, const QString& outputPart);

// "预览" up to the page run: with a template in the canvas, the canvas is
// saved as Ctrl+O saves it, an empty customer name becoming "预览缓存" and a
// missing task starting in the preview cache.
struct PreviewPlan {
    SavePageResult save; // what the save did (nothing without a template)
    // The selected page afterwards (the page saved, else the one selected
    // before); the caller selects it.
    int selected = -1;
    // The page to render; -1 when there is nothing to render (no task open,
    // no page selected).
    int pageIndex = -1;
};
PreviewPlan PrepareFinishedPagePreview(SavePageRequest request, CComposeCanvas& canvas,
                                       CustomerTask& task, IMessages& messages);

// The page run of "预览" on the calling thread: renders page pageIndex of
// task at full size into "big<page>.jpg", reporting to run, and hands the
// image to env.openFile. The run is closed when this returns.
void RunPreviewPage(const CustomerTask& task, int pageIndex, ProgressRun& run,
                    const ComposeEnvironment& env);
