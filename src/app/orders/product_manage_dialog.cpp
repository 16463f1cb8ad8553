#include "app/orders/product_manage_dialog.h"

#include "app/main_window/dialog_units.h"
#include "common/messages.h"
#include "controls/shared_fonts.h"
#include "records/workspace_paths.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

QStringList ListBoxOrder(QStringList texts) {
    std::stable_sort(texts.begin(), texts.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a, b) < 0;
    });
    return texts;
}

CProductManageDlg::CProductManageDlg(IMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), path_(CataloguePath()) {
    setWindowTitle(QStringLiteral("产品管理"));
    setFont(SharedSmallFont());
    setFixedSize(DialogSize(330, 198));

    list_ = new QListWidget(this);
    list_->setGeometry(DialogRect(0, 0, 184, 198));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);

    const auto field = [this](const QString& caption, int y) {
        auto* edit = new QLineEdit(this);
        edit->setGeometry(DialogRect(231, y, 80, 14));
        // The caption takes the whole gap between the list and its edit box.
        auto* label = new QLabel(caption, this);
        const int left = list_->geometry().right() + 2;
        label->setGeometry(left, edit->y(), edit->x() - 2 - left, edit->height());
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return edit;
    };
    name_ = field(QStringLiteral("*产品名称："), 45);
    width_ = field(QStringLiteral("*宽(cm)："), 60);
    height_ = field(QStringLiteral("*高(cm)："), 75);

    add_ = new QPushButton(QStringLiteral("添加"), this);
    add_->setGeometry(DialogRect(231, 100, 50, 14));
    add_->setDefault(true);
    delete_ = new QPushButton(QStringLiteral("删除"), this);
    delete_->setGeometry(DialogRect(231, 118, 50, 14));
    delete_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setGeometry(DialogRect(231, 138, 50, 14));
    cancel_->setAutoDefault(false);

    connect(add_, &QPushButton::clicked, this, &CProductManageDlg::Add);
    connect(delete_, &QPushButton::clicked, this, &CProductManageDlg::Delete);
    connect(cancel_, &QPushButton::clicked, this, &CProductManageDlg::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            &CProductManageDlg::CopySelectedIntoEdits);

    catalogue_.Load(path_);
    FillList();
    name_->setFocus();
}

// Each change goes to the catalogue file at once, applied to what it holds
// now: another station may have added products while this window was open.
void CProductManageDlg::Add() {
    bool refused = false;
    const bool added = catalogue_.Update(path_, [&](ProductCatalogue& current) {
        refused = !current.Add(name_->text(), width_->text(), height_->text(), messages_);
        return !refused;
    });
    if (!added && !refused)
        messages_.Inform(QStringLiteral("保存失败!"));
    FillList();
}

void CProductManageDlg::Delete() {
    const QListWidgetItem* row = list_->currentItem();
    const QString text = row && row->isSelected() ? row->text() : QString();
    // Asked on the list as shown, before the file is locked: the lock is
    // never held while the operator thinks.
    ProductCatalogue shown = catalogue_;
    if (!shown.Delete(text, messages_))
        return;
    RecordingMessages confirmed(true); // a product deleted elsewhere meanwhile: nothing to say
    if (!catalogue_.Update(path_, [&](ProductCatalogue& current) {
            current.Delete(text, confirmed);
            return true;
        }))
        messages_.Inform(QStringLiteral("保存失败!"));
    FillList();
}

void CProductManageDlg::CopySelectedIntoEdits() {
    const QList<QListWidgetItem*> rows = list_->selectedItems();
    if (rows.isEmpty())
        return;
    const ProductEntry entry = SplitProductDisplayText(rows.first()->text());
    name_->setText(entry.name);
    width_->setText(entry.width);
    height_->setText(entry.height);
}

void CProductManageDlg::FillList() {
    const QSignalBlocker quiet(list_);
    list_->clear();
    list_->addItems(ListBoxOrder(catalogue_.DisplayTexts()));
}
