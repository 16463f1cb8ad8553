#include "app/orders/quantity_list_ctrl.h"

#include "controls/shared_fonts.h"
#include "controls/sort_header_ctrl.h"
#include "controls/sort_list_ctrl.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>

CInPlaceEdit::CInPlaceEdit(QWidget* parent) : QLineEdit(parent) {
    setFont(QApplication::font());
}

void CInPlaceEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // The view selects the whole text when it opens an editor; typing must
    // add to the cell's text, not replace it.
    deselect();
    end(false);
}

QWidget* CQuantityListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                             const QModelIndex& index) const {
    if (!CQuantityListCtrl::IsEditableColumn(index.column()))
        return nullptr;
    return new CInPlaceEdit(parent);
}

void CQuantityListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<CInPlaceEdit*>(editor);
    edit->setText(index.data(Qt::EditRole).toString());
    edit->deselect();
    edit->end(false);
}

void CQuantityListDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                         const QModelIndex& index) const {
    model->setData(index, static_cast<CInPlaceEdit*>(editor)->text(), Qt::EditRole);
}

void CQuantityListDelegate::initStyleOption(QStyleOptionViewItem* option,
                                            const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->backgroundBrush = ReportRowColour(index.row());
}

CQuantityListCtrl::CQuantityListCtrl(QWidget* parent) : QTableWidget(parent) {
    auto* header = new CSortHeaderCtrl(this);
    setHorizontalHeader(header);
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    setItemDelegate(new CQuantityListDelegate(this));
    verticalHeader()->hide();
    setFont(SharedLargeFont());
    header->setFont(SharedLargeFont());
    const int lineHeight = QFontMetrics(SharedLargeFont()).height();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(lineHeight + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    header->setFixedHeight(lineHeight + 8);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked);
    header->viewport()->installEventFilter(this);
}

bool CQuantityListCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        EndEditOnHeaderPress();
    return QTableWidget::eventFilter(watched, event);
}

void CQuantityListCtrl::AddColumn(const QString& title, int width) {
    const int column = columnCount();
    setColumnCount(column + 1);
    setHorizontalHeaderItem(column, new QTableWidgetItem(title));
    horizontalHeader()->resizeSection(column, width);
}

void CQuantityListCtrl::InsertRow(int position, const QStringList& texts) {
    insertRow(position);
    for (int c = 0; c < columnCount(); ++c) {
        auto* item = new QTableWidgetItem(texts.value(c));
        if (!IsEditableColumn(c))
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        setItem(position, c, item);
    }
}

QString CQuantityListCtrl::CellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CQuantityListCtrl::SetCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
}

int CQuantityListCtrl::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

CInPlaceEdit* CQuantityListCtrl::ActiveEditor() const {
    // An editor that ended is hidden at once and deleted later.
    for (CInPlaceEdit* editor :
         viewport()->findChildren<CInPlaceEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

void CQuantityListCtrl::EndEditOnHeaderPress() {
    if (CInPlaceEdit* editor = ActiveEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}
