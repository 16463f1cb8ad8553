#include "controls/sort_list_ctrl.h"

#include "common/profile.h"
#include "controls/shared_fonts.h"
#include "controls/sort_header_ctrl.h"
#include "controls/theme.h"
#include "records/row_compare.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <utility>

namespace {
// Shared by every sortable list, as the operator knows it: each click on any
// title turns the direction round.
bool g_ascending = false;
const QString kLayoutSection = QStringLiteral("mylist");
} // namespace

QColor ReportRowColour(int row) {
    return row % 2 ? Theme::kRowOdd : Theme::kRowEven;
}

// The rows behind the list: the view asks it for each cell as it paints.
class SortListModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(titles.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rows.size())
            return {};
        if (role == Qt::DisplayRole)
            return rows[index.row()].value(index.column());
        if (role == Qt::BackgroundRole)
            return ReportRowColour(index.row());
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return titles.value(section);
        return {};
    }
    void Reset(QList<QStringList> newRows) {
        beginResetModel();
        rows = std::move(newRows);
        endResetModel();
    }
    void AddColumns(const QStringList& newTitles) {
        beginInsertColumns({}, 0, static_cast<int>(newTitles.size()) - 1);
        titles = newTitles;
        endInsertColumns();
    }

    QStringList titles;
    QList<QStringList> rows;
};

CSortListCtrl::CSortListCtrl(QWidget* parent)
    : QTableView(parent), model_(new SortListModel(this)), header_(new CSortHeaderCtrl(this)) {
    setHorizontalHeader(header_);
    setModel(model_);
    header_->setSectionsMovable(true);
    header_->setSectionsClickable(true);
    header_->setHighlightSections(false);
    header_->setStretchLastSection(false);
    verticalHeader()->hide();
    setFont(SharedLargeFont());
    header_->setFont(SharedLargeFont());
    const int lineHeight = QFontMetrics(SharedLargeFont()).height();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(lineHeight + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    header_->setFixedHeight(lineHeight + 8);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false); // the header's clicks sort, by the program's own rules
    connect(header_, &QHeaderView::sectionClicked, this, &CSortListCtrl::SortByColumn);
}

CSortListCtrl::~CSortListCtrl() {
    if (layoutKey_ >= 0)
        Profile::SetBinary(kLayoutSection, QString::number(layoutKey_), header_->SaveLayout());
}

bool CSortListCtrl::SetColumns(const QString& spec) {
    if (!model_->titles.isEmpty())
        return false;
    QStringList titles;
    QList<int> widths;
    qsizetype pos = 0;
    while (true) {
        const qsizetype comma = spec.indexOf(QLatin1Char(','), pos);
        if (comma < 0)
            break;
        qsizetype end = spec.indexOf(QLatin1Char(';'), comma);
        if (end < 0)
            end = spec.size();
        titles.append(spec.mid(pos, comma - pos));
        widths.append(qMax(0, spec.mid(comma + 1, end - comma - 1).trimmed().toInt()));
        pos = end + 1;
        if (pos >= spec.size())
            break;
    }
    if (titles.isEmpty())
        return false;
    model_->AddColumns(titles);
    for (int c = 0; c < widths.size(); ++c)
        header_->resizeSection(c, widths[c]);
    return true;
}

int CSortListCtrl::ColumnCount() const {
    return static_cast<int>(model_->titles.size());
}

void CSortListCtrl::LoadLayout(int key) {
    layoutKey_ = key;
    const QByteArray saved = Profile::GetBinary(kLayoutSection, QString::number(key));
    if (!saved.isEmpty())
        header_->LoadLayout(saved);
}

void CSortListCtrl::SetRows(QList<QStringList> rows) {
    model_->Reset(std::move(rows));
}

const QList<QStringList>& CSortListCtrl::Rows() const {
    return model_->rows;
}

void CSortListCtrl::ClearRows() {
    model_->Reset({});
}

int CSortListCtrl::RowCount() const {
    return static_cast<int>(model_->rows.size());
}

QString CSortListCtrl::CellText(int row, int column) const {
    return model_->rows.value(row).value(column);
}

bool CSortListCtrl::SortAscending() {
    return g_ascending;
}

void CSortListCtrl::SortByColumn(int column) {
    if (!sortingEnabled_ || model_->rows.isEmpty() || column < 0 || column >= ColumnCount())
        return;
    const int selected = FirstSelectedRow();
    const QString selectedKey = selected >= 0 ? CellText(selected, 0) : QString();
    g_ascending = !g_ascending;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<QStringList> rows = model_->rows;
    SortRows(rows, column, g_ascending);
    model_->Reset(std::move(rows));
    QApplication::restoreOverrideCursor();
    header_->SetSortIndicator(column, g_ascending);

    if (selected < 0)
        return;
    for (int r = 0; r < RowCount(); ++r) {
        if (CellText(r, 0) == selectedKey) {
            selectRow(r);
            scrollTo(model_->index(r, 0));
            break;
        }
    }
}

QList<int> CSortListCtrl::SelectedRows() const {
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CSortListCtrl::FirstSelectedRow() const {
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

void CSortListCtrl::keyboardSearch(const QString&) {}
