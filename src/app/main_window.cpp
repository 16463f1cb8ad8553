#include "app/main_window.h"

#include "common/profile.h"

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("景岚 - 影楼套版软件  (版本:001   ID:") + Profile::GetString("Version 1.0", "id") + ")");
    resize(1280, 860);
}
