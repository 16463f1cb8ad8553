// The finished-products area of the main window: the task's pages, saving
// the canvas as a page, reopening, deleting and previewing one, copying a
// product's pages to another product.

#include "app/main_window/main_window.h"

#include "app/main_window/canvas_view.h"
#include "app/main_window/control_ids.h"
#include "app/orders/order_list.h"
#include "app/photo_and_page_areas/review_marks.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app/production/progress_dialog.h"
#include "app/production/shutdown_service.h"
#include "common/messages.h"
#include "production/copy_pages.h"
#include "production/finished_pages.h"
#include "production/new_page.h"
#include "records/photo_usage.h"
#include "records/workspace_paths.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>

void CMainDlg::RefillFinishedList() {
    finishedPages_.clear();
    for (const auto& page : task_.pages)
        finishedPages_ << PageImagePath(task_.Folder(), page->Name(), QStringLiteral(".jpg"));
    finishedList_->ShowEntries(finishedPages_, FileThumbnailLabels(finishedPages_));
    reviewMarks_->Reread();
    ShowReviewMarks();
}

void CMainDlg::ShowReviewMarks() {
    reviewMarks_->Apply(*finishedList_);
    canvasView_->update();
    // The customer's choice can be taken in when the review shares photos.
    const bool photoArea = !controls_[ControlId::TemplateTree]->isVisible();
    const bool chosen = reviewMarks_->sharesPhotos() && photoArea;
    controls_[ControlId::ImportChosen]->setVisible(chosen);
    controls_[ControlId::PhotoTitle]->setVisible(!chosen && photoArea);
}

void CMainDlg::PaintReviewPin(QPainter& painter) const {
    // The pin belongs to the page as the customer saw it: not to another
    // template loaded over it.
    if (selectedPage_ < 0 || canvas_.templateChanged())
        return;
    const std::optional<QPointF> pin = reviewMarks_->PinOf(selectedPage_);
    if (!pin)
        return;
    const QSize shown = canvas_.displaySize();
    const QPointF at = QPointF(canvas_.displayOrigin()) +
                       QPointF(pin->x() * shown.width(), pin->y() * shown.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(0xe0, 0x30, 0x1e));
    painter.drawEllipse(at, 11, 11);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(at, 4, 4);
    painter.restore();
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
    reviewMarks_->Reread();
    ShowReviewMarks();
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

void CMainDlg::ShowFinishedMenu(const QPoint& position) {
    const QListWidgetItem* item = finishedList_->itemAt(position);
    const int page = item ? finishedList_->row(item) : -1;
    if (page < 0 || page >= task_.PageCount())
        return;
    const int fromRow = ProductRowFor(task_.pages[page]->Name(), orderLines_);
    if (fromRow <= 0)
        return;
    QMenu menu(this);
    QMenu* copyTo = menu.addMenu(QStringLiteral("复制到其他产品"));
    for (int row = 1; row < orderLines_.size(); ++row)
        if (row != fromRow && !orderLines_[row].name.isEmpty() &&
            orderLines_[row].name != orderLines_[fromRow].name)
            copyTo->addAction(orderLines_[row].name, this,
                              [this, fromRow, row] { CopyProductPagesTo(fromRow, row); });
    copyTo->setEnabled(!copyTo->isEmpty());
    menu.exec(finishedList_->viewport()->mapToGlobal(position));
}

void CMainDlg::CopyProductPagesTo(int fromRow, int toRow) {
    SavePageRequest request = MakeSaveRequest(false);
    request.product = orderLines_.at(toRow);
    request.selectedPage = -1;
    // A page that cannot be reopened leaves the task and moves the ones
    // after it: the page in hand is found again by name.
    const QString selected = selectedPage_ >= 0 && selectedPage_ < task_.PageCount()
                                 ? task_.pages[selectedPage_]->Name()
                                 : QString();
    const QList<CopiedPage> copied = CopyProductPages(task_, orderLines_.at(fromRow).name, request,
                                                      canvas_.clientSize(), messages_);
    selectedPage_ = -1;
    for (int i = 0; i < task_.PageCount() && !selected.isEmpty(); ++i)
        if (task_.pages[i]->Name() == selected)
            selectedPage_ = i;
    RefillFinishedList();
    RefreshPhotoUsage();
    if (copied.isEmpty())
        return;

    QStringList toCheck;
    for (const CopiedPage& page : copied) {
        QStringList reasons;
        for (const int slot : page.changedSlots)
            reasons.append(QStringLiteral("第%1位裁切变化较大").arg(slot + 1));
        for (const SlotResolution& slot : page.lowResolution)
            reasons.append(QStringLiteral("第%1位有效分辨率 %2 ppi")
                               .arg(slot.slot + 1)
                               .arg(QString::number(slot.ppi, 'f', 0)));
        if (!reasons.isEmpty())
            toCheck.append(page.to + ": " + reasons.join(", "));
    }
    QString said = QStringLiteral("已复制 %1 页到 %2!")
                       .arg(QString::number(copied.size()), orderLines_.at(toRow).name);
    if (!toCheck.isEmpty())
        said += QStringLiteral("\n请检查:\n") + toCheck.join('\n');
    messages_.Inform(said);
}
