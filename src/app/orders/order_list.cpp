#include "app/orders/order_list.h"

#include "app/orders/order_entries.h"
#include "controls/shared_fonts.h"

#include <QAbstractItemView>
#include <QPainter>

namespace {
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// The entries keep their line ends as typed ("\r\n"); only "\n" breaks.
QString DisplayText(const QModelIndex& index) {
    QString text = index.data(Qt::DisplayRole).toString();
    text.remove(QLatin1Char('\r'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}
} // namespace

void COrderListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(option.rect, selected ? palette.color(QPalette::Highlight)
                                            : index.data(Qt::BackgroundRole).value<QColor>());
    painter->setPen(selected ? palette.color(QPalette::HighlightedText) : QColor(Qt::black));
    painter->setFont(option.font);
    painter->drawText(option.rect, kTextFlags, DisplayText(index));
    painter->restore();
}

QSize COrderListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    // Entries wrap to the list's visible width.
    int width = option.rect.width();
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
        width = view->viewport()->width();
    width = qMax(1, width);
    const QRect bounds =
        option.fontMetrics.boundingRect(QRect(0, 0, width, 100000), kTextFlags, DisplayText(index));
    return {width, bounds.height()};
}

COrderList::COrderList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new COrderListDelegate(this));
    setFont(SharedLargeFont());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(false);
    setResizeMode(QListView::Adjust);
}

void COrderList::AddEntry(const QString& text) {
    auto* item = new QListWidgetItem(text, this);
    item->setData(Qt::BackgroundRole, OrderEntryColour(count() - 1));
}

void COrderList::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    // Heights depend on the width the text wraps to.
    doItemsLayout();
}
