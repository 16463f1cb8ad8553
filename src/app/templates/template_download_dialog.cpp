#include "app/templates/template_download_dialog.h"

#include "app/main_window/dialog_units.h"
#include "common/messages.h"
#include "controls/shared_fonts.h"
#include "download/download_settings.h"
#include "records/installation_id.h"
#include "records/workspace_paths.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
const char* const kBoxTexts[kCategoryCount] = {"婚纱模板", "儿童模板", "写真模板", "全家福模板"};
const int kBoxTops[kCategoryCount] = {37, 55, 73, 91};
} // namespace

// Hands the worker's reports to the window's thread as queued signals; the
// worker never touches a widget.
class CTemplateDownloadDlg::Relay final : public IDownloadObserver {
public:
    explicit Relay(CTemplateDownloadDlg* dialog) : dialog_(dialog) {}
    void OnStatus(const QString& text) override { emit dialog_->statusReported(text); }
    void OnFinished(const DownloadResult& result) override {
        emit dialog_->runEnded(static_cast<int>(result.end), result.message, result.filesWritten);
    }

private:
    CTemplateDownloadDlg* dialog_;
};

CTemplateDownloadDlg::CTemplateDownloadDlg(IMessages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      messages_(messages), openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      relay_(std::make_unique<Relay>(this)) {
    setWindowTitle(QStringLiteral("模板管理"));
    setFont(SharedSmallFont());
    setFixedSize(DialogSize(391, 144));

    group_ = new QGroupBox(QStringLiteral("模板下载"), this);
    group_->setGeometry(DialogRect(8, 14, 378, 112));
    for (int i = 0; i < kCategoryCount; ++i) {
        boxes_[i] = new QCheckBox(QString::fromUtf8(kBoxTexts[i]), this);
        boxes_[i]->setGeometry(DialogRect(24, kBoxTops[i], 72, 14));
    }
    boxes_[0]->setChecked(true);
    latest_ = new QPushButton(QStringLiteral("最新模板"), this);
    latest_->setGeometry(DialogRect(302, 35, 60, 16));
    start_ = new QPushButton(QStringLiteral("开始下载"), this);
    start_->setGeometry(DialogRect(302, 91, 60, 16));
    for (QPushButton* b : {latest_, start_})
        b->setAutoDefault(false);
    status_ = new QLabel(this);
    status_->setGeometry(DialogRect(131, 97, 164, 10));
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    connect(start_, &QPushButton::clicked, this, &CTemplateDownloadDlg::StartDownload);
    connect(latest_, &QPushButton::clicked, this, &CTemplateDownloadDlg::OpenLatestTemplates);
    connect(this, &CTemplateDownloadDlg::statusReported, status_, &QLabel::setText,
            Qt::QueuedConnection);
    connect(this, &CTemplateDownloadDlg::runEnded, this, &CTemplateDownloadDlg::OnRunEnded,
            Qt::QueuedConnection);
}

CTemplateDownloadDlg::~CTemplateDownloadDlg() {
    destroying_ = true;
    if (downloader_.IsRunning()) {
        // The worker drops the file in hand and ends within about a second;
        // meanwhile the windows go on painting instead of freezing.
        downloader_.Cancel();
        QEventLoop loop;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
            if (!downloader_.IsRunning())
                loop.quit();
        });
        poll.start(20);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    downloader_.Wait();
}

void CTemplateDownloadDlg::StartDownload() {
    if (running_)
        return;
    const DownloadSettings settings = ReadDownloadSettings();
    DownloadRequest request;
    for (int i = 0; i < kCategoryCount; ++i)
        request.categories[i] = boxes_[i]->isChecked();
    request.lookupBase = settings.lookupUrl;
    request.ftpPort = settings.ftpPort;
    request.installationId = InstallationId();
    request.root = TemplateFolder();
    request.limit = kDownloadLimit;
    request.tuning = tuning_;
    const QString refusal = downloader_.Start(request, *relay_);
    if (!refusal.isEmpty()) {
        messages_.Inform(refusal);
        return;
    }
    running_ = true;
    start_->setEnabled(false);
}

void CTemplateDownloadDlg::OnRunEnded(int end, const QString& message, int filesWritten) {
    // While the window is being destroyed its owner may be half gone: no
    // message box and no signal then.
    if (destroying_)
        return;
    downloader_.Wait();
    running_ = false;
    start_->setEnabled(true);
    if (static_cast<DownloadEnd>(end) == DownloadEnd::Refused)
        messages_.Inform(message);
    if (filesWritten > 0)
        emit LibraryChanged();
    emit DownloadEnded();
}

void CTemplateDownloadDlg::OpenLatestTemplates() {
    openUrl_(QUrl(ReadDownloadSettings().showcaseUrl));
}
