#pragma once

#include "records/product_catalogue.h"

#include <QDialog>

class IMessages;
class QLineEdit;
class QListWidget;
class QPushButton;

// The texts of a list box that keeps its entries sorted, in its order.
QStringList ListBoxOrder(QStringList texts);

// "产品管理": the studio's product catalogue. The list shows the products in
// sorted order; choosing one copies its name and sizes into the edit boxes so
// that it can be copied and changed. "添加" (the default button, so Enter in
// an edit box adds) and "删除" write each change to the catalogue file at
// once, applied to what the file holds then (other stations share it).
class CProductManageDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CProductManageDlg)
public:
    explicit CProductManageDlg(IMessages& messages, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* widthEdit() const { return width_; }
    QLineEdit* heightEdit() const { return height_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* cancelButton() const { return cancel_; }
    const ProductCatalogue& catalogue() const { return catalogue_; }

private:
    void Add();
    void Delete();
    void CopySelectedIntoEdits();
    void FillList();

    IMessages& messages_;
    ProductCatalogue catalogue_;
    QString path_;
    QListWidget* list_;
    QLineEdit* name_;
    QLineEdit* width_;
    QLineEdit* height_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* cancel_;
};
