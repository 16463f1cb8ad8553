#include "app/orders/dpi_dialog.h"

#include "compose/face_keeping_setting.h"
#include "records/dpi_setting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

CDpiDlg::CDpiDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("DPI设置"));
    setFixedSize(347, 175);
    auto* caption = new QLabel(QStringLiteral("dpi："), this);
    caption->setGeometry(44, 24, 60, 16);
    choices_ = new QComboBox(this);
    choices_->setGeometry(42, 49, 249, 24);
    choices_->addItems(DpiChoices());
    choices_->setCurrentIndex(DpiChoiceIndexFor(DpiText()));
    keepFaces_ = new QCheckBox(QStringLiteral("放入照片时保留人脸（自动避开裁切）"), this);
    keepFaces_->setGeometry(42, 84, 260, 22);
    keepFaces_->setChecked(KeepFacesSetting());
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(42, 120, 75, 23);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setGeometry(216, 120, 75, 23);
    connect(ok, &QPushButton::clicked, this, &CDpiDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CDpiDlg::reject);
}

void CDpiDlg::accept() {
    SetDpiText(DpiTextForChoice(choices_->currentIndex()));
    SetKeepFacesSetting(keepFaces_->isChecked());
    QDialog::accept();
}
