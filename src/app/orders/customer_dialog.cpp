#include "app/orders/customer_dialog.h"

#include "app/main_window/dialog_units.h"
#include "app/orders/product_pick_dialog.h"
#include "app/orders/quantity_list_ctrl.h"
#include "controls/shared_fonts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CCustomerDlg::CCustomerDlg(IMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    Build();
}

CCustomerDlg::CCustomerDlg(IMessages& messages, const QString& name, const QString& taskPath,
                           QWidget* parent)
    : QDialog(parent), messages_(messages) {
    form_.OpenExisting(name, taskPath);
    Build();
    // Locked edits look locked: on the dialog's ground instead of white.
    for (QLineEdit* locked : {name_, phone_}) {
        locked->setReadOnly(true);
        QPalette palette = locked->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        locked->setPalette(palette);
    }
    list_->setFocus(); // the order is all that can change
}

void CCustomerDlg::Build() {
    setWindowTitle(QStringLiteral("客户资料"));
    setFont(SharedSmallFont());
    setFixedSize(DialogSize(298, 194));

    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setGeometry(DialogRect(235, 14, 38, 14));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setGeometry(DialogRect(235, 31, 38, 14));
    cancel_->setAutoDefault(false);

    auto* nameCaption = new QLabel(QStringLiteral("*客人姓名："), this);
    nameCaption->setGeometry(DialogRect(17, 15, 56, 10));
    nameCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    name_ = new QLineEdit(form_.name, this);
    name_->setGeometry(DialogRect(75, 14, 88, 12));
    auto* phoneCaption = new QLabel(QStringLiteral("客人电话："), this);
    phoneCaption->setGeometry(DialogRect(17, 29, 56, 10));
    phoneCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    phone_ = new QLineEdit(form_.phone, this);
    phone_->setGeometry(DialogRect(75, 28, 88, 12));

    auto* listCaption = new QLabel(QStringLiteral("产品明细：(双击可修改数量)"), this);
    listCaption->setGeometry(DialogRect(25, 60, 165, 10));
    add_ = new QPushButton(QStringLiteral("添加产品"), this);
    add_->setGeometry(DialogRect(196, 57, 38, 14));
    add_->setAutoDefault(false);
    delete_ = new QPushButton(QStringLiteral("删除"), this);
    delete_->setGeometry(DialogRect(235, 57, 38, 14));
    delete_->setAutoDefault(false);

    list_ = new CQuantityListCtrl(this);
    list_->setGeometry(DialogRect(24, 73, 250, 118));
    list_->AddColumn(QStringLiteral("产品名称"), 200);
    list_->AddColumn(QStringLiteral("数量"), 80);
    list_->AddColumn(QStringLiteral("相册P数"), 80);
    FillList();

    connect(ok_, &QPushButton::clicked, this, &CCustomerDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CCustomerDlg::reject);
    connect(add_, &QPushButton::clicked, this, &CCustomerDlg::AddProducts);
    connect(delete_, &QPushButton::clicked, this, &CCustomerDlg::DeleteProduct);
    connect(list_, &QTableWidget::cellChanged, this, &CCustomerDlg::KeepCellText);
    name_->setFocus();
}

void CCustomerDlg::accept() {
    if (!form_.IsExisting()) {
        form_.name = name_->text();
        form_.phone = phone_->text();
    }
    if (form_.Save(messages_))
        QDialog::accept();
}

void CCustomerDlg::AddProducts() {
    CProductPickDlg pick(messages_, this);
    if (pick.exec() != QDialog::Accepted)
        return;
    form_.AddChosenProducts(pick.ChosenProducts());
    FillList();
}

void CCustomerDlg::DeleteProduct() {
    if (form_.DeleteRow(list_->SelectedRow(), messages_))
        FillList();
}

void CCustomerDlg::FillList() {
    const QSignalBlocker quiet(list_);
    list_->setRowCount(0);
    for (int r = 0; r < form_.rows.size(); ++r) {
        list_->InsertRow(r, {form_.CellText(r, CustomerOrderForm::kProductColumn),
                             form_.CellText(r, CustomerOrderForm::kQuantityColumn),
                             form_.CellText(r, CustomerOrderForm::kPagesColumn)});
    }
}

void CCustomerDlg::KeepCellText(int row, int column) {
    if (form_.SetCellText(row, column, list_->CellText(row, column)))
        return;
    // Refused: the cell shows what the order keeps.
    const QSignalBlocker quiet(list_);
    list_->SetCellText(row, column, form_.CellText(row, column));
}
