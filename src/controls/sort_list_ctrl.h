#pragma once

#include <QColor>
#include <QList>
#include <QStringList>
#include <QTableView>

class CSortHeaderCtrl;
class SortListModel;

// Background of a report list row: the colours alternate from the first row.
QColor ReportRowColour(int row);

// The program's sortable report list. The owner hands it all rows at once;
// every row is a list of texts, column 0 first. A row may hold more texts
// than there are columns: those are not shown but travel with the row when
// it is sorted, so an owner can keep what a row stands for beside it.
//
// A click on a column title sorts the rows by that column (dates, numbers and
// other texts each in their own order) and flips the direction, which all
// sortable lists share: clicking another column flips it too. The row that
// was selected stays selected. The widths and order of the columns are kept
// in the profile (section "mylist") under a key the owner chooses.
class CSortListCtrl : public QTableView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSortListCtrl)

public:
    explicit CSortListCtrl(QWidget* parent = nullptr);
    // Saves the column layout when a key was given.
    ~CSortListCtrl() override;

    // Creates the columns from "title,width;title,width;...". False, with no
    // column created, when the text holds no column or the columns are
    // already made.
    bool SetColumns(const QString& spec);
    int ColumnCount() const;

    // Remembers key as the place of the column layout in the profile and
    // applies the layout kept there, when it has as many columns as the list.
    void LoadLayout(int key);
    int LayoutKey() const { return layoutKey_; }

    void SetRows(QList<QStringList> rows);
    const QList<QStringList>& Rows() const;
    void ClearRows();
    int RowCount() const;
    QString CellText(int row, int column) const;

    void SetSortingEnabled(bool enabled) { sortingEnabled_ = enabled; }
    // What a click on the title of column does.
    void SortByColumn(int column);
    // The direction the last sort of any list used (before the first sort:
    // descending, so that the first click sorts ascending).
    static bool SortAscending();

    // Selected rows in display order; the first of them, or -1.
    QList<int> SelectedRows() const;
    int FirstSelectedRow() const;

    CSortHeaderCtrl* SortHeader() const { return header_; }

protected:
    // Typing letters does not jump to rows.
    void keyboardSearch(const QString& search) override;

private:
    SortListModel* model_;
    CSortHeaderCtrl* header_;
    bool sortingEnabled_ = true;
    int layoutKey_ = -1;
};
