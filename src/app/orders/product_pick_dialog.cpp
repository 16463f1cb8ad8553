#include "app/orders/product_pick_dialog.h"

#include "app/main_window/dialog_units.h"
#include "app/orders/product_manage_dialog.h"
#include "controls/shared_fonts.h"
#include "records/customer_order_form.h"
#include "records/product_catalogue.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

CProductPickDlg::CProductPickDlg(IMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle(QStringLiteral("选择产品"));
    setFont(SharedSmallFont());
    setFixedSize(DialogSize(254, 220));

    auto* caption = new QLabel(QStringLiteral("产品列表"), this);
    caption->setGeometry(DialogRect(1, 13, 60, 10));
    list_ = new QListWidget(this);
    list_->setGeometry(DialogRect(0, 25, 174, 195));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    manage_ = new QPushButton(QStringLiteral("产品管理"), this);
    manage_->setGeometry(DialogRect(134, 9, 40, 14));
    manage_->setAutoDefault(false);
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setGeometry(DialogRect(188, 38, 50, 14));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setGeometry(DialogRect(188, 55, 50, 14));
    cancel_->setAutoDefault(false);

    connect(manage_, &QPushButton::clicked, this, &CProductPickDlg::ManageCatalogue);
    connect(ok_, &QPushButton::clicked, this, &CProductPickDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CProductPickDlg::reject);
    Reload();
}

void CProductPickDlg::accept() {
    QStringList chosen;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->isSelected())
            chosen.append(list_->item(i)->text());
    if (!AcceptProductChoice(chosen, messages_))
        return;
    chosen_ = chosen;
    QDialog::accept();
}

void CProductPickDlg::ManageCatalogue() {
    {
        CProductManageDlg manage(messages_, this);
        manage.exec();
    }
    Reload();
}

void CProductPickDlg::Reload() {
    ProductCatalogue catalogue;
    catalogue.Load();
    list_->clear();
    list_->addItems(ListBoxOrder(catalogue.DisplayTexts()));
}
