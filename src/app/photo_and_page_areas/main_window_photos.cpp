// The customer photo area of the main window: the photos to choose from,
// imported or taken from the sample folder, with how often the open task's
// pages use each of them.

#include "app/main_window/main_window.h"

#include "app/photo_and_page_areas/review_marks.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "common/find_files.h"
#include "common/messages.h"
#include "records/photo_usage.h"
#include "records/workspace_paths.h"

#include <QFileDialog>
#include <QListWidget>

void CMainDlg::FillPhotoList() {
    photoList_->ShowEntries(customerPhotos_, FileThumbnailLabels(customerPhotos_));
}

void CMainDlg::LoadSamplePhotos() {
    customerPhotos_ = FindFiles(SampleFolder(), QStringLiteral("*.jpg"), false).files;
    FillPhotoList();
}

void CMainDlg::ImportPhotos() {
    const QStringList chosen =
        choosePhotos_
            ? choosePhotos_()
            : QFileDialog::getOpenFileNames(this, QStringLiteral("调入照片"), QString(),
                                            QStringLiteral("jpg files(*jpg,*png) (*.jpg *.png)"));
    if (chosen.isEmpty())
        return;
    customerPhotos_ += chosen;
    FillPhotoList();
}

void CMainDlg::ImportChosenPhotos() {
    reviewMarks_->Reread();
    const QStringList chosen = reviewMarks_->ChosenPhotos();
    if (chosen.isEmpty()) {
        messages_.Inform(QStringLiteral("客人还没有选中照片!"));
        return;
    }
    customerPhotos_ = chosen;
    FillPhotoList();
}

void CMainDlg::RemoveSelectedPhoto() {
    const QList<QListWidgetItem*> selected = photoList_->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = photoList_->row(selected.first());
    photoList_->RemoveEntry(row);
    if (row < customerPhotos_.size())
        customerPhotos_.removeAt(row);
}

void CMainDlg::ClearPhotos() {
    photoList_->StopLoading();
    customerPhotos_.clear();
    photoList_->clear();
}

void CMainDlg::RefreshPhotoUsage() {
    const PhotoUsage usage = CountPhotoUsage(task_, customerPhotos_);
    for (int i = 0; i < photoList_->count() && i < usage.labels.size(); ++i)
        photoList_->item(i)->setText(usage.labels.at(i));
    usedPhotos_ = usage.usedPhotos;
}
