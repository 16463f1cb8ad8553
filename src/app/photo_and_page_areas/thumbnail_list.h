#pragma once

#include "templates/thumbnail_cell.h"

#include <QListWidget>
#include <QStringList>

class ThumbnailLoader;

// An icon list of 75 x 85 cells: all labels appear at once, each picture as
// soon as the loader has drawn it. A new list replaces the old one at once,
// even while the old one is still being drawn.
class CThumbnailList final : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CThumbnailList)
public:
    CThumbnailList(ThumbnailSource source, QWidget* parent = nullptr);
    ~CThumbnailList() override;

    // One entry per path, labelled as given.
    void ShowEntries(const QStringList& paths, const QStringList& labels);
    // Adds one entry at the end. The entries already drawn keep their cells;
    // only the new one and those still waiting for theirs are drawn. False
    // (and nothing added) when the list no longer holds the entries it was
    // given, e.g. after clear(): then only ShowEntries can fill it.
    bool AppendEntry(const QString& path, const QString& label);
    // Removes the entry at row, also while cells are still being drawn: each
    // cell that arrives afterwards still goes to the entry of its own file.
    void RemoveEntry(int row);
    void StopLoading();
    // Customer photos: whether the photos prepared from now on also have
    // their faces found (ThumbnailLoader::SetScanFaces).
    void SetScanFaces(bool scan);
    bool IsLoading() const;
    // The position of the entry under a mouse click, -1 for none.
    int ClickedPosition() const { return clicked_; }

signals:
    // Every cell of the list has been drawn.
    void Loaded();
    // Customer photos: after Loaded, the photos of the list have what
    // putting them into a slot needs (ThumbnailLoader::Prepare), as many as
    // the working copies' cache holds.
    void Prepared();
    // A mouse click on an entry, or beside every entry (-1). The keyboard
    // moving the selection is not a click.
    void EntryClicked(int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnCellReady(int generation, int position, const QImage& cell);
    // Draws the cells of every entry that does not show its own yet.
    void LoadMissingCells();

    ThumbnailLoader* loader_;
    QStringList paths_;     // the file of each entry
    QList<bool> drawn_;     // whether each entry shows its cell
    QList<int> runEntries_; // the entry of each position of the loader's run (-1: removed)
    int generation_ = 0;
    int clicked_ = -1;
};
