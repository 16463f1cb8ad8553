#include "app/orders/task_list_dialog.h"

#include "app/orders/customer_dialog.h"
#include "app/orders/review_dialog.h"
#include "app/orders/review_serving.h"
#include "app/production/order_check_dialog.h"
#include "app/production/preflight_dialog.h"
#include "common/messages.h"
#include "compose/canvas_size_file.h"
#include "controls/shared_fonts.h"
#include "controls/sort_list_ctrl.h"
#include "production/export_manifest.h"
#include "production/export_pages.h"
#include "production/lab_export.h"
#include "production/order_check.h"
#include "records/customer_review.h"
#include "records/dpi_setting.h"
#include "records/task_list.h"
#include "records/workspace_paths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Where the list keeps its column widths and order in the profile.
constexpr int kLayoutKey = 11132;
} // namespace

CTaskListDlg::CTaskListDlg(IMessages& messages, ComposeTasks composeTasks, QWidget* parent)
    : QDialog(parent), messages_(messages), composeTasks_(std::move(composeTasks)) {
    setWindowTitle(QStringLiteral("任务列表"));
    setFont(SharedSmallFont());

    list_ = new CSortListCtrl(this);
    list_->SetColumns(QString::fromUtf8(kTaskListColumnSpec));
    list_->LoadLayout(kLayoutKey);

    auto* column = new QVBoxLayout;
    const auto add = [&](Command id, const QString& text, void (CTaskListDlg::*command)()) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        b->setMinimumSize(90, 28);
        connect(b, &QPushButton::clicked, this, command);
        column->addWidget(b);
        buttons_.insert(id, b);
        return b;
    };
    add(NewTask, QStringLiteral("新建任务"), &CTaskListDlg::NewTaskCommand);
    add(Edit, QStringLiteral("修改"), &CTaskListDlg::EditCommand);
    add(Delete, QStringLiteral("删除"), &CTaskListDlg::DeleteCommand);
    column->addSpacing(12);
    add(Open, QStringLiteral("开始"), &CTaskListDlg::OpenCommand)->setDefault(true);
    column->addSpacing(12);
    add(ComposeOne, QStringLiteral("单个套版"), &CTaskListDlg::ComposeOneCommand);
    add(ComposeSelected, QStringLiteral("批量套版"), &CTaskListDlg::ComposeSelectedCommand);
    column->addSpacing(12);
    // Before the pages go to the lab: what is missing, stale or soft.
    add(Check, QStringLiteral("检查"), &CTaskListDlg::CheckCommand);
    // The customer chooses photos and approves pages on a phone.
    add(Review, QStringLiteral("审阅"), &CTaskListDlg::ReviewCommand);
    add(Export, QStringLiteral("输出"), &CTaskListDlg::ExportCommand);
    manifestBox_ = new QCheckBox(QStringLiteral("附清单"), this);
    manifestBox_->setToolTip(QStringLiteral("输出时同时写入 manifest.csv"));
    column->addWidget(manifestBox_);
    labBox_ = new QComboBox(this);
    labBox_->addItem(QStringLiteral("标准输出"));
    labBox_->addItems(LabProfileNames());
    labBox_->setToolTip(QStringLiteral("按冲印社配置输出 (设置/labs)"));
    connect(labBox_, &QComboBox::currentIndexChanged, this, &CTaskListDlg::LabChosen);
    column->addWidget(labBox_);
    column->addStretch(1);
    add(Close, QStringLiteral("关闭"), &CTaskListDlg::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(column);
    resize(920, 520);

    connect(list_, &QAbstractItemView::doubleClicked, this, &CTaskListDlg::OpenCommand);
    // The list reports double clicks on rows only; one beside every row is
    // an open without a selection all the same.
    list_->viewport()->installEventFilter(this);
    Reload();
}

CTaskListDlg::~CTaskListDlg() = default;

bool CTaskListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            !list_->indexAt(mouse->position().toPoint()).isValid()) {
            // A click beside every row leaves none selected.
            list_->clearSelection();
            OpenCommand();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CTaskListDlg::Reload() {
    list_->SetRows(LoadTaskList(TaskStoreFolder(), messages_));
}

int CTaskListDlg::SelectedRowOrSay(const char* message) {
    const int row = list_->FirstSelectedRow();
    if (row < 0)
        messages_.Inform(QString::fromUtf8(message));
    return row;
}

void CTaskListDlg::NewTaskCommand() {
    CCustomerDlg customer(messages_, this);
    if (customer.exec() == QDialog::Accepted)
        Reload();
}

void CTaskListDlg::EditCommand() {
    const int row = SelectedRowOrSay("请先选中要修改的客人!");
    if (row < 0)
        return;
    resultPath_ = list_->CellText(row, kTaskPathColumn);
    CCustomerDlg customer(messages_, list_->CellText(row, kTaskOrderColumn), resultPath_, this);
    if (customer.exec() == QDialog::Accepted)
        Reload();
}

void CTaskListDlg::DeleteCommand() {
    const int row = SelectedRowOrSay("请先选中要删除的客人记录!");
    if (row < 0 || !messages_.AskYesNo(QStringLiteral("删除后将不可恢复, 确认吗?")))
        return;
    DeleteTaskEntry(TaskStoreFolder(), list_->CellText(row, kTaskPathColumn));
    // The row goes even when part of the folder stayed behind; the next
    // loading shows what is left.
    QList<QStringList> rows = list_->Rows();
    rows.removeAt(row);
    list_->SetRows(rows);
}

void CTaskListDlg::OpenCommand() {
    const int row = SelectedRowOrSay("请先选中要编辑的客人记录!");
    if (row < 0)
        return;
    resultPath_ = list_->CellText(row, kTaskPathColumn);
    accept();
}

void CTaskListDlg::ComposeOneCommand() {
    const int row = SelectedRowOrSay("请先选中要套版的客人!");
    if (row < 0)
        return;
    if (composeTasks_)
        composeTasks_({list_->CellText(row, kTaskPathColumn)});
    Reload();
}

void CTaskListDlg::ComposeSelectedCommand() {
    const QList<int> rows = list_->SelectedRows();
    if (rows.isEmpty()) {
        messages_.Inform(QStringLiteral("请先选中要套版的客人!"));
        return;
    }
    QStringList paths;
    for (const int row : rows)
        paths.append(list_->CellText(row, kTaskPathColumn));
    if (composeTasks_)
        composeTasks_(paths);
    Reload();
}

QString CTaskListDlg::CustomerOfRow(int row) const {
    // The customer's folder as found from the task store: a task lying
    // deeper keeps the folders above it, so its pages are taken from its own
    // folder and not from another customer of the same name.
    const QString folder = QFileInfo(list_->CellText(row, kTaskPathColumn)).path();
    QString customer = QDir(TaskStoreFolder()).relativeFilePath(folder);
    if (customer.isEmpty() || customer.startsWith(QLatin1Char('.')))
        customer = list_->CellText(row, kTaskOrderColumn);
    return customer;
}

void CTaskListDlg::CheckCommand() {
    const int row = SelectedRowOrSay("请先选中要检查的客人!");
    if (row < 0)
        return;
    const OrderCheckReport report = CheckOrder(CustomerOfRow(row), CurrentDpi(),
                                               CurrentResolutionThreshold(), LastCanvasSize());
    COrderCheckDlg dialog(report, this);
    dialog.exec();
}

void CTaskListDlg::ReviewCommand() {
    const int row = SelectedRowOrSay("请先选中要审阅的客人!");
    if (row < 0)
        return;
    if (!serving_) {
        if (!ownServing_)
            ownServing_ = std::make_unique<ReviewServing>();
        serving_ = ownServing_.get();
    }
    CReviewDlg dialog(CustomerOfRow(row), *serving_, messages_, this);
    dialog.exec();
    // The row shows how far the review got, and stays the one selected.
    const QString path = list_->CellText(row, kTaskPathColumn);
    Reload();
    for (int r = 0; r < list_->RowCount(); ++r)
        if (list_->CellText(r, kTaskPathColumn) == path)
            list_->selectRow(r);
}

void CTaskListDlg::ExportCommand() {
    const int row = list_->FirstSelectedRow();
    QString customer;
    QString status;
    if (row >= 0) {
        customer = CustomerOfRow(row);
        status = list_->CellText(row, kTaskOutputColumn);
        const QList<UnapprovedPage> unapproved = UnapprovedPages(CustomerFolder(customer));
        if (!unapproved.isEmpty() && !messages_.AskYesNo(UnapprovedPagesText(unapproved) +
                                                         QStringLiteral("\n\n仍要输出吗?")))
            return;
    }
    const auto choose = [this] {
        return chooseFolder_ ? chooseFolder_() : ChooseFolderWithDialog();
    };
    const auto open = [this](const QString& folder) {
        if (openFolder_)
            openFolder_(folder);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    if (labBox_->currentIndex() > 0) {
        ExportForLab(labBox_->currentText(), customer, status, choose, open);
        return;
    }
    ExportManifest manifest;
    ExportCustomer(customer, status, choose, messages_, open, {},
                   manifestBox_->isChecked() ? &manifest : nullptr);
}

void CTaskListDlg::ExportForLab(const QString& labName, const QString& customer,
                                const QString& status, const std::function<QString()>& choose,
                                const std::function<void(const QString&)>& open) {
    LabProfile lab;
    QString error;
    if (!ReadLabProfile(labName, lab, error)) {
        messages_.Inform(QStringLiteral("冲印社配置无法使用:\n%1").arg(error));
        return;
    }
    // Exporting anyway after the findings must not ask for the folder again.
    QString folder;
    const auto chooseOnce = [&] {
        if (folder.isEmpty())
            folder = choose();
        return folder;
    };
    LabExportOptions options;
    bool forced = false;
    options.showFindings = [&](const QList<PreflightFinding>& findings) {
        CPreflightDlg dialog(customer, labName, findings, this);
        forced = dialog.exec() == QDialog::Accepted;
    };
    ExportManifest manifest;
    const ExportResult result = ExportCustomer(customer, status, chooseOnce, messages_, open,
                                               LabExportWriter(lab, customer, options), &manifest);
    if (result != ExportResult::Refused || !forced)
        return;
    options.force = true;
    ExportManifest forcedManifest;
    ExportCustomer(customer, status, chooseOnce, messages_, open,
                   LabExportWriter(lab, customer, options), &forcedManifest);
}

void CTaskListDlg::LabChosen() {
    const bool lab = labBox_->currentIndex() > 0;
    if (lab && manifestBox_->isEnabled())
        manifestWanted_ = manifestBox_->isChecked();
    manifestBox_->setChecked(lab || manifestWanted_);
    manifestBox_->setEnabled(!lab);
}

QString CTaskListDlg::ChooseFolderWithDialog() {
    return QFileDialog::getExistingDirectory(this, QStringLiteral("\n文档保存的目录:"), QString(),
                                             QFileDialog::ShowDirsOnly);
}
