#include "app/order_check_dialog.h"

#include "controls/shared_fonts.h"

#include <QHBoxLayout>
#include <QHeaderView>
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
    findings_ = new QTreeWidget(this);
    findings_->setRootIsDecorated(false);
    findings_->setSelectionMode(QAbstractItemView::NoSelection);
    findings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings_->setHeaderLabels({QStringLiteral("页"), QStringLiteral("位"), QStringLiteral("ppi"),
                                QStringLiteral("问题")});
    for (const OrderFinding& f : report.findings) {
        auto* item = new QTreeWidgetItem(findings_);
        item->setText(0, f.page);
        item->setText(1, f.slot >= 0 ? QString::number(f.slot + 1) : QString());
        item->setText(2, f.ppi ? QString::number(*f.ppi, 'f', 0) : QString());
        item->setText(3, f.message);
    }
    findings_->header()->setStretchLastSection(true);
    for (int column = 0; column < 3; ++column)
        findings_->resizeColumnToContents(column);

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
