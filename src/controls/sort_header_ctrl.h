#pragma once

#include <QByteArray>
#include <QHeaderView>

// The header of the program's report lists: blue sections with white
// captions under a black top line, and a raised triangle on the column the
// rows are sorted by. It also saves and restores the widths and order of the
// columns in the stored form the lists keep in the profile.
class CSortHeaderCtrl : public QHeaderView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSortHeaderCtrl)

public:
    explicit CSortHeaderCtrl(QWidget* parent = nullptr);

    // Marks the column (logical index; -1 for none) the rows are sorted by
    // and the direction, and repaints.
    void SetSortIndicator(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return ascending_; }

    // Width and shown position of every column, by logical index.
    QByteArray SaveLayout() const;
    // Applies a saved layout; does nothing and returns false when the bytes
    // are damaged or were saved for a different number of columns.
    bool LoadLayout(const QByteArray& bytes);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int sortColumn_ = -1;
    bool ascending_ = true;
};
