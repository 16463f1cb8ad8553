#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>

// The order list: the customer and each ordered product as one multi-line
// entry on its own colour, word-wrapped to the list's width.
class COrderListDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class COrderList final : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COrderList)
public:
    explicit COrderList(QWidget* parent = nullptr);
    // Appends an entry; its colour follows from its position.
    void AddEntry(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
};
