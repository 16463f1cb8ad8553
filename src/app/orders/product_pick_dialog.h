#pragma once

#include <QDialog>
#include <QStringList>

class IMessages;
class QListWidget;
class QPushButton;

// "选择产品": the operator ticks one or more products of the catalogue (a
// click toggles a product). "产品管理" opens the catalogue, and the list shows
// its products again as soon as that closes.
class CProductPickDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CProductPickDlg)
public:
    explicit CProductPickDlg(IMessages& messages, QWidget* parent = nullptr);

    // After OK: the chosen products as listed ("name 宽:w 高:h"), in list
    // order.
    const QStringList& ChosenProducts() const { return chosen_; }

    QListWidget* list() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* manageButton() const { return manage_; }

public slots:
    void accept() override;

private:
    void ManageCatalogue();
    void Reload();

    IMessages& messages_;
    QStringList chosen_;
    QListWidget* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* manage_;
};
