// The finished-products area of the main window: the task's pages, saving
// the canvas as a page, reopening, deleting and previewing one.

#include "app/main_window.h"

#include "app/order_list.h"
#include "app/progress_dialog.h"
#include "app/shutdown_service.h"
#include "app/thumbnail_list.h"
#include "production/finished_pages.h"
#include "production/new_page.h"
#include "records/photo_usage.h"
#include "records/workspace_paths.h"

#include <QLabel>
#include <QListWidget>

void CMainDlg::RefillFinishedList() {
    finishedPages_.clear();
    for (const auto& page : task_.pages)
        finishedPages_ << PageImagePath(task_.Folder(), page->Name(), QStringLiteral(".jpg"));
    finishedList_->ShowEntries(finishedPages_, FileThumbnailLabels(finishedPages_));
}

// A save that added a page at the end lists that page alone: the pages
// listed before keep their drawn cells. Refilling the whole list read and
// drew every finished page again at every save, which over a long run
// (the template test run saves page after page) kept hundreds of cells in
// flight between the drawing threads and the list. False when the list does
// not show the task's other pages as they are.
bool CMainDlg::AppendFinishedPage() {
    if (task_.PageCount() != finishedPages_.size() + 1)
        return false;
    for (int i = 0; i < finishedPages_.size(); ++i)
        if (PageImagePath(task_.Folder(), task_.pages[static_cast<size_t>(i)]->Name(),
                          QStringLiteral(".jpg")) != finishedPages_[i])
            return false;
    const QString path =
        PageImagePath(task_.Folder(), task_.pages.back()->Name(), QStringLiteral(".jpg"));
    if (!finishedList_->AppendEntry(path, FileThumbnailLabels({path}).value(0)))
        return false;
    finishedPages_.append(path);
    return true;
}

SavePageRequest CMainDlg::MakeSaveRequest(bool customerCheck) const {
    SavePageRequest request;
    // A customer is chosen once the order list shows one.
    request.customerChosen = orderList_->count() > 0;
    request.customerName = customerName_;
    request.customerDisplayName = customerDisplayName_;
    const int row = orderList_->currentRow();
    if (row > 0 && row < orderLines_.size() && orderList_->item(row)->isSelected())
        request.product = orderLines_.at(row);
    request.customerCheck = customerCheck;
    request.selectedPage = selectedPage_;
    return request;
}

void CMainDlg::SaveComposition(bool customerCheck) {
    const SavePageResult result =
        SaveCanvasAsPage(MakeSaveRequest(customerCheck), canvas_, task_, messages_);
    if (result.saved)
        selectedPage_ = result.pageIndex;
    if (!result.newPage || !AppendFinishedPage())
        RefillFinishedList();
    RefreshPhotoUsage();
}

void CMainDlg::OpenFinishedPageAt(int position) {
    if (position < 0) {
        selectedPage_ = -1;
        return;
    }
    const OpenedPage opened =
        OpenFinishedPage(task_, position, selectedPage_, canvas_, orderLines_);
    selectedPage_ = opened.selected;
    if (opened.removed)
        RefillFinishedList();
    if (!opened.relabel)
        return;
    outputPart_ = opened.outputPart;
    pageSize_ = canvas_.pageSize();
    sizeLabel_->setText(opened.sizeLabel);
    // The page keeps the size it was saved at: choosing its product here
    // must not resize it.
    const QSignalBlocker block(orderList_);
    if (opened.productRow > 0) {
        orderList_->setCurrentRow(opened.productRow);
    } else {
        orderList_->clearSelection();
        orderList_->setCurrentRow(-1);
    }
}

void CMainDlg::DeleteSelectedPage() {
    if (!DeleteFinishedPage(task_, selectedPage_, canvas_, messages_))
        return;
    selectedPage_ = -1;
    RefillFinishedList();
    RefreshPhotoUsage();
}

void CMainDlg::ReselectFinishedPage() {
    QListWidgetItem* item = finishedList_->item(selectedPage_);
    if (!item)
        return;
    const QSignalBlocker block(finishedList_);
    finishedList_->setCurrentItem(item);
    finishedList_->scrollToItem(item);
}

void CMainDlg::PreviewCommand() {
    const PreviewPlan plan =
        PrepareFinishedPagePreview(MakeSaveRequest(true), canvas_, task_, messages_);
    if (!plan.save.customerName.isEmpty())
        customerName_ = plan.save.customerName;
    selectedPage_ = plan.selected;
    RefillFinishedList();
    RefreshPhotoUsage();
    if (plan.pageIndex < 0)
        return;
    CLogindShutdownService system;
    CProgressDlg progress(messages_, shutdown_ ? *shutdown_ : system, this);
    progress.SetEnvironment(MakeComposeEnvironment());
    progress.Run(plan.pageIndex, &task_);
}
