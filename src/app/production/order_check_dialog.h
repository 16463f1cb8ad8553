#pragma once

#include "production/order_check.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

// The order check of one customer, to read before the pages go to the lab:
// one row per finding with its page, slot and effective resolution. It
// changes nothing.
class COrderCheckDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COrderCheckDlg)
public:
    explicit COrderCheckDlg(const OrderCheckReport& report, QWidget* parent = nullptr);

    QLabel* summary() const { return summary_; }
    QTreeWidget* findings() const { return findings_; }

private:
    QLabel* summary_;
    QTreeWidget* findings_;
};
