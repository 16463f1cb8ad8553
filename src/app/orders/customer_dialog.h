#pragma once

#include "records/customer_order_form.h"

#include <QDialog>

class CQuantityListCtrl;
class IMessages;
class QLineEdit;
class QPushButton;

// "客户资料": a customer's name, phone and ordered products. Opened empty it
// records a new customer task; opened on a task ("修改") it shows the task's
// phone and order with name and phone locked, and OK rewrites the order only.
// Quantity and album page count are edited in the list with a double click.
class CCustomerDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCustomerDlg)
public:
    // A new customer.
    explicit CCustomerDlg(IMessages& messages, QWidget* parent = nullptr);
    // The customer of an existing task file.
    CCustomerDlg(IMessages& messages, const QString& name, const QString& taskPath,
                 QWidget* parent = nullptr);

    // After OK: the task file that was written.
    const QString& TaskPath() const { return form_.TaskPath(); }
    const CustomerOrderForm& form() const { return form_; }

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* phoneEdit() const { return phone_; }
    CQuantityListCtrl* orderList() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }

public slots:
    void accept() override;

private:
    void Build();
    void AddProducts();
    void DeleteProduct();
    void FillList();
    void KeepCellText(int row, int column);

    IMessages& messages_;
    CustomerOrderForm form_;
    QLineEdit* name_ = nullptr;
    QLineEdit* phone_ = nullptr;
    CQuantityListCtrl* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
};
