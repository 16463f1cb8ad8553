#include "controls/color_progress_ctrl.h"

#include "controls/theme.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace {
// The white border and the white field inside it are 2 pixels each.
constexpr int kBorder = 2;
constexpr int kField = 2;
} // namespace

CColorProgressCtrl::CColorProgressCtrl(QWidget* parent) : QWidget(parent) {}

void CColorProgressCtrl::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    lastBarWidth_ = -1;
    update();
}

int CColorProgressCtrl::SetPos(int pos) {
    const int previous = pos_;
    pos_ = pos;
    const int width = BarWidth();
    if (width != lastBarWidth_) {
        lastBarWidth_ = width;
        update();
    }
    return previous;
}

void CColorProgressCtrl::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

QRect CColorProgressCtrl::InnerRect() const {
    const int shrink = kBorder + kField;
    return rect().adjusted(shrink, shrink, -shrink, -shrink);
}

int CColorProgressCtrl::ClampedPos() const {
    return std::clamp(pos_, lower_, upper_);
}

int CColorProgressCtrl::BarWidth() const {
    const int inner = InnerRect().width();
    if (lower_ >= upper_ || inner <= 0)
        return 0;
    // 64 bits: a range of millions times a wide window overflows an int.
    return static_cast<int>(static_cast<qint64>(inner) * (ClampedPos() - qint64(lower_)) /
                            (qint64(upper_) - lower_));
}

QString CColorProgressCtrl::ShownCaption() const {
    if (!caption_.isEmpty())
        return caption_;
    if (lower_ >= upper_)
        return QString();
    const double percent =
        100.0 * (ClampedPos() - double(lower_)) / (double(upper_) - double(lower_));
    return QStringLiteral("%1%").arg(static_cast<int>(percent));
}

void CColorProgressCtrl::resizeEvent(QResizeEvent* event) {
    lastBarWidth_ = -1;
    QWidget::resizeEvent(event);
}

void CColorProgressCtrl::paintEvent(QPaintEvent*) {
    if (lower_ >= upper_)
        return;
    QPainter p(this);
    const QRect all = rect();
    p.fillRect(all, Theme::kProgressBorder);
    p.fillRect(all.adjusted(kBorder, kBorder, -kBorder, -kBorder), Theme::kProgressBackground);
    const QRect inner = InnerRect();
    const int width = BarWidth();
    const QRect bar(inner.left(), inner.top(), width, inner.height());
    if (width > 0 && inner.height() > 0)
        p.fillRect(bar, Theme::kProgressBar);

    const QString caption = ShownCaption();
    if (caption.isEmpty())
        return;
    // The caption is white (the window colour) where it lies on the bar and
    // in the text colour on the white field, so it can be read at every
    // position.
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    p.setFont(font());
    p.save();
    p.setClipRect(bar);
    p.setPen(palette().color(QPalette::Base));
    p.drawText(all, flags, caption);
    p.restore();
    p.setClipRegion(QRegion(all).subtracted(bar));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(all, flags, caption);
}
