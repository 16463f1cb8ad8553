#pragma once

#include <QDialog>

class QComboBox;

// "DPI设置": the print resolution, kept in the profile when the operator
// presses "确定".
class CDpiDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDpiDlg)
public:
    explicit CDpiDlg(QWidget* parent = nullptr);
    QComboBox* choices() const { return choices_; }

public slots:
    void accept() override;

private:
    QComboBox* choices_;
};
