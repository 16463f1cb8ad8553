#pragma once

#include "production/preflight.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

// What a lab's preflight found before an export, nothing written yet. The
// operator closes it to fix the order, or exports anyway ("仍然输出", the
// dialog accepted): the findings then go with the pages as preflight.json.
class CPreflightDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPreflightDlg)
public:
    CPreflightDlg(const QString& customer, const QString& lab,
                  const QList<PreflightFinding>& findings, QWidget* parent = nullptr);

    QLabel* summary() const { return summary_; }
    QTreeWidget* findings() const { return findings_; }
    QPushButton* forceButton() const { return force_; }
    QPushButton* closeButton() const { return close_; }

private:
    QLabel* summary_;
    QTreeWidget* findings_;
    QPushButton* force_;
    QPushButton* close_;
};
