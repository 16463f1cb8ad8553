#include "app/main_window/widget_messages.h"

#include <QMessageBox>
#include <QPushButton>

const char* const WidgetMessages::kTitle = "版悦";

void WidgetMessages::Inform(const QString& text) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kTitle), text, QMessageBox::Ok,
                    owner_);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool WidgetMessages::AskYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kTitle), text,
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    return box.exec() == QMessageBox::Yes;
}
