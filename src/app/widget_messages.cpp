#include "app/widget_messages.h"

#include <QMessageBox>

const char* const WidgetMessages::kTitle = "版悦";

void WidgetMessages::Inform(const QString& text) {
    QMessageBox::information(owner_, QString::fromUtf8(kTitle), text);
}

bool WidgetMessages::AskYesNo(const QString& text) {
    return QMessageBox::question(owner_, QString::fromUtf8(kTitle), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
