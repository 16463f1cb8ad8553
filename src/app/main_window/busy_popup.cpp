#include "app/main_window/busy_popup.h"

#include "controls/shared_fonts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>

const char* const CBusyPopup::kText = "处理中, 请稍候 ...";

CBusyPopup::CBusyPopup(QWidget* owner) : owner_(owner) {}

CBusyPopup::~CBusyPopup() {
    Hide();
}

void CBusyPopup::Show() {
    Hide();
    auto* popup = new QDialog(owner_, Qt::Tool | Qt::FramelessWindowHint);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFixedSize(255, 98); // 170 x 60 dialog units at the small font
    auto* label = new QLabel(QString::fromUtf8(kText), popup);
    label->setFont(SharedSmallFont());
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(popup);
    layout->addWidget(label);
    popup->setStyleSheet(QStringLiteral("QDialog { border: 2px solid #000000; }"));
    if (owner_) {
        const QRect frame = owner_->frameGeometry();
        popup->move(frame.center() - QPoint(popup->width() / 2, popup->height() / 2));
    }
    popup->show();
    popup->repaint();
    popup_ = popup;
}

void CBusyPopup::Hide() {
    if (popup_)
        popup_->close();
    popup_.clear();
}

bool CBusyPopup::IsShown() const {
    return popup_ && popup_->isVisible();
}
