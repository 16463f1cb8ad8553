#include "controls/sort_header_ctrl.h"

#include "common/column_layout.h"
#include "controls/theme.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionHeader>

CSortHeaderCtrl::CSortHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // Captions sit at the left unless the model asks otherwise.
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CSortHeaderCtrl::SetSortIndicator(int column, bool ascending) {
    sortColumn_ = column;
    ascending_ = ascending;
    viewport()->update();
}

QByteArray CSortHeaderCtrl::SaveLayout() const {
    ColumnLayout columns;
    columns.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        columns.push_back({sectionSize(i), visualIndex(i)});
    return EncodeColumnLayout(columns);
}

bool CSortHeaderCtrl::LoadLayout(const QByteArray& bytes) {
    const std::optional<ColumnLayout> columns = DecodeColumnLayout(bytes);
    if (!columns || static_cast<int>(columns->size()) != count())
        return false;
    for (int i = 0; i < count(); ++i)
        resizeSection(i, (*columns)[static_cast<size_t>(i)].width);
    // Fill the places from the left: each move leaves the places already
    // filled alone, and the orders are a permutation, so every column ends
    // where it was saved.
    for (int place = 0; place < count(); ++place) {
        for (int i = 0; i < count(); ++i) {
            if ((*columns)[static_cast<size_t>(i)].order == place) {
                moveSection(visualIndex(i), place);
                break;
            }
        }
    }
    viewport()->update();
    return true;
}

void CSortHeaderCtrl::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    const int left = rect.left();
    const int top = rect.top();
    // Edges past the section, as the arithmetic below counts them.
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();

    p->fillRect(QRect(left, top, rect.width(), 1), Theme::kHeaderTopLine);
    // Raised edge one pixel lower, the face inside it.
    const QRect edge(left, top + 1, rect.width(), rect.height() - 1);
    p->setPen(Theme::kHeaderEdge);
    p->setBrush(Qt::NoBrush);
    p->drawRect(edge.adjusted(0, 0, -1, -1));
    p->fillRect(edge.adjusted(1, 1, -1, -1), Theme::kHeaderFace);

    QStyleOptionHeader opt;
    initStyleOptionForIndex(&opt, logicalIndex);
    const bool sorted = logicalIndex == sortColumn_;
    const int h = rect.height();
    const int q = h / 4;

    QRect textRect(QPoint(left + q, top), QPoint(right - 1 - q, bottom - 1));
    if (sorted)
        textRect.setRight(textRect.right() - 3 * h / 4);
    if (opt.state & QStyle::State_Sunken)
        textRect.translate(1, 2);
    const QString text =
        model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    if (!text.isEmpty() && textRect.width() > 0) {
        Qt::Alignment align = defaultAlignment();
        const QVariant own =
            model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole);
        if (own.isValid())
            align = Qt::Alignment(own.toInt());
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (align & Qt::AlignHCenter)
            horizontal = Qt::AlignHCenter;
        else if (align & Qt::AlignRight)
            horizontal = Qt::AlignRight;
        p->setFont(font());
        p->setPen(Theme::kHeaderCaption);
        const QString shown =
            QFontMetrics(font()).elidedText(text, Qt::ElideRight, textRect.width());
        p->drawText(textRect, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    }

    if (sorted) {
        const QPen light(Theme::kEdgeHighlight, 1);
        const QPen shadow(Theme::kEdgeShadow, 1);
        if (ascending_) {
            // Apex up; lit on the right side and the base.
            const QPoint apex(right - 2 * q, top + q);
            const QPoint baseLeft(right - 3 * q - 2, bottom - q - 1);
            const QPoint baseRight(right - q, bottom - q - 1);
            p->setPen(shadow);
            p->drawLine(baseLeft, apex);
            p->setPen(light);
            p->drawLine(apex, baseRight);
            p->drawLine(baseRight, baseLeft);
        } else {
            // Apex down; lit on the right side only.
            const QPoint apex(right - 2 * q - 1, bottom - q);
            const QPoint topLeft(right - 3 * q - 1, top + q);
            const QPoint topRight(right - q - 1, top + q);
            p->setPen(shadow);
            p->drawLine(topLeft, topRight);
            p->drawLine(topLeft, apex);
            p->setPen(light);
            p->drawLine(topRight, apex);
        }
    }
    p->restore();
}
