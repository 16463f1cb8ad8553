#include "app/photo_and_page_areas/thumbnail_list.h"

#include "templates/thumbnail_loader.h"

#include <QMouseEvent>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace {
// Labels keep their line ends as the studio's lists write them ("\r\n");
// only the "\n" breaks the line on screen.
class LabelDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text.remove(QLatin1Char('\r'));
    }
};

QIcon BlankCell() {
    static const QIcon icon(QPixmap::fromImage(DrawThumbnailCell(QImage())));
    return icon;
}
} // namespace

CThumbnailList::CThumbnailList(ThumbnailSource source, QWidget* parent)
    : QListWidget(parent), loader_(new ThumbnailLoader(source, this)) {
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    setGridSize(QSize(90, 126));
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWordWrap(true);
    setItemDelegate(new LabelDelegate(this));
    connect(loader_, &ThumbnailLoader::CellReady, this, &CThumbnailList::OnCellReady);
    connect(loader_, &ThumbnailLoader::Finished, this, [this](int generation) {
        if (generation != generation_)
            return;
        // Only now, so that the cells come first: the working copies and
        // faces of the photos, in the background. A receiver of Loaded that
        // shows another list cancels it again.
        loader_->Prepare(paths_);
        emit Loaded();
    });
    connect(loader_, &ThumbnailLoader::Prepared, this, &CThumbnailList::Prepared);
}

CThumbnailList::~CThumbnailList() {
    loader_->Stop();
}

void CThumbnailList::ShowEntries(const QStringList& paths, const QStringList& labels) {
    setUpdatesEnabled(false);
    clear();
    for (int i = 0; i < paths.size(); ++i)
        new QListWidgetItem(BlankCell(), labels.value(i), this);
    setUpdatesEnabled(true);
    paths_ = paths;
    drawn_ = QList<bool>(paths.size(), false);
    LoadMissingCells();
}

bool CThumbnailList::AppendEntry(const QString& path, const QString& label) {
    if (count() != paths_.size())
        return false;
    new QListWidgetItem(BlankCell(), label, this);
    paths_.append(path);
    drawn_.append(false);
    LoadMissingCells();
    return true;
}

void CThumbnailList::RemoveEntry(int row) {
    if (row < 0 || row >= count())
        return;
    delete takeItem(row);
    if (row >= paths_.size())
        return;
    paths_.removeAt(row);
    drawn_.removeAt(row);
    // The run keeps its positions; only the entries they stand for move up.
    for (int& entry : runEntries_) {
        if (entry == row)
            entry = -1;
        else if (entry > row)
            --entry;
    }
}

void CThumbnailList::LoadMissingCells() {
    runEntries_.clear();
    QStringList runPaths;
    for (int i = 0; i < paths_.size(); ++i) {
        if (!drawn_[i]) {
            runEntries_.append(i);
            runPaths.append(paths_[i]);
        }
    }
    generation_ = loader_->Refresh(runPaths);
}

void CThumbnailList::SetScanFaces(bool scan) {
    loader_->SetScanFaces(scan);
}

void CThumbnailList::StopLoading() {
    loader_->Stop();
}

bool CThumbnailList::IsLoading() const {
    return loader_->IsRunning();
}

void CThumbnailList::OnCellReady(int generation, int position, const QImage& cell) {
    if (generation != generation_ || position >= runEntries_.size())
        return;
    const int row = runEntries_[position];
    if (row < 0)
        return;
    if (QListWidgetItem* entry = item(row)) {
        entry->setIcon(QIcon(QPixmap::fromImage(cell)));
        if (row < drawn_.size())
            drawn_[row] = true;
    }
}

void CThumbnailList::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    clicked_ = index.isValid() ? index.row() : -1;
    emit EntryClicked(clicked_);
}
