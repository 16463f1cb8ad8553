#pragma once

#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableWidget>

// The editor laid over a cell of the quantity list: it opens with the cell's
// text and the caret after its last character.
class CInPlaceEdit final : public QLineEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CInPlaceEdit)
public:
    explicit CInPlaceEdit(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// Paints the rows in their alternating colours and opens a CInPlaceEdit on
// the editable columns. Enter keeps the typed text, Esc drops it, and the
// text is kept when the focus moves elsewhere.
class CQuantityListDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The customer dialog's order rows: a report list whose cells in columns 1
// and 2 (quantity and album pages) are edited in place with a double click;
// the first column never is. The text typed is kept as it stands.
class CQuantityListCtrl final : public QTableWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CQuantityListCtrl)
public:
    explicit CQuantityListCtrl(QWidget* parent = nullptr);

    // Appends a column with its title and width in pixels.
    void AddColumn(const QString& title, int width);
    // Inserts a row at position holding texts, one per column.
    void InsertRow(int position, const QStringList& texts);
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString& text);
    // The selected row, or -1.
    int SelectedRow() const;
    // The open cell editor, or nullptr.
    CInPlaceEdit* ActiveEditor() const;

    static bool IsEditableColumn(int column) { return column == 1 || column == 2; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A press on the column titles ends an edit that is open, keeping the
    // typed text, as a click anywhere else would.
    void EndEditOnHeaderPress();
};
