#include "app/production/order_check_dialog.h"

#include "app/production/findings_table.h"
#include "controls/shared_fonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

COrderCheckDlg::COrderCheckDlg(const OrderCheckReport& report, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("订单检查 - %1").arg(report.customer));
    setFont(SharedSmallFont());

    summary_ =
        new QLabel(report.ok() ? QStringLiteral("没有发现问题, 可以交付冲印。")
                               : QStringLiteral("发现 %1 个问题:").arg(report.findings.size()),
                   this);
    findings_ = NewFindingsTable(this);
    for (const OrderFinding& f : report.findings)
        AddFindingRow(findings_, f.page, f.slot, f.ppi, f.message);
    FitFindingsTable(findings_);

    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(findings_, 1);
    layout->addLayout(buttons);
    resize(760, 420);
}
