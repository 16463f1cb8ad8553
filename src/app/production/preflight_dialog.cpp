#include "app/production/preflight_dialog.h"

#include "app/production/findings_table.h"
#include "controls/shared_fonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CPreflightDlg::CPreflightDlg(const QString& customer, const QString& lab,
                             const QList<PreflightFinding>& findings, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("冲印检查 - %1").arg(customer));
    setFont(SharedSmallFont());

    summary_ = new QLabel(QStringLiteral("按冲印社 \"%1\" 的要求发现 %2 个问题, 尚未输出任何文件:")
                              .arg(lab, QString::number(findings.size())),
                          this);
    findings_ = NewFindingsTable(this);
    for (const PreflightFinding& f : findings)
        AddFindingRow(findings_, f.page, f.slot, f.ppi, f.detail);
    FitFindingsTable(findings_);

    force_ = new QPushButton(QStringLiteral("仍然输出"), this);
    force_->setAutoDefault(false);
    force_->setToolTip(QStringLiteral("问题清单写入 preflight.json, 随页面一起交给冲印社"));
    connect(force_, &QPushButton::clicked, this, &QDialog::accept);
    close_ = new QPushButton(QStringLiteral("关闭"), this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(force_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(findings_, 1);
    layout->addLayout(buttons);
    resize(760, 420);
}
