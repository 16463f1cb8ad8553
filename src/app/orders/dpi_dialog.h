#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;

// "DPI设置": the print resolution and whether photos put into slots keep
// their faces in view, kept in the profile when the operator presses "确定".
class CDpiDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDpiDlg)
public:
    explicit CDpiDlg(QWidget* parent = nullptr);
    QComboBox* choices() const { return choices_; }
    QCheckBox* keepFaces() const { return keepFaces_; }

public slots:
    void accept() override;

private:
    QComboBox* choices_;
    QCheckBox* keepFaces_;
};
