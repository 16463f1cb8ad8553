#pragma once

#include <QDialog>

// The main window of the desktop program.
class CMainDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
};
