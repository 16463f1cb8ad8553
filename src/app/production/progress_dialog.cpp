#include "app/production/progress_dialog.h"

#include "app/main_window/dialog_units.h"
#include "app/production/shutdown_service.h"
#include "common/messages.h"
#include "controls/color_progress_ctrl.h"
#include "controls/shared_fonts.h"
#include "production/finished_pages.h"
#include "records/customer_task.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QThread>

const char* const CProgressDlg::kPause = "暂停";
const char* const CProgressDlg::kContinue = "继续";

namespace {
// Places of the controls, in dialog units.
const QRect kUpperBar = DialogRect(59, 7, 126, 11);
const QRect kUpperLabel = DialogRect(23, 9, 34, 8);
const QRect kLowerBar = DialogRect(59, 18, 126, 11);
const QRect kLowerLabel = DialogRect(23, 20, 34, 8);
const QRect kPausePlace = DialogRect(110, 37, 36, 14);
const QRect kAbortPlace = DialogRect(149, 37, 36, 14);
const QRect kShutdownPlace = DialogRect(23, 40, 49, 8);
const QRect kAbortingPlace = DialogRect(77, 6, 80, 8);
const QSize kWindowSize = DialogSize(227, 58);

void UseTextColour(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(CProgressDlg::kTextColor));
    palette.setColor(QPalette::ButtonText, QColor::fromRgb(CProgressDlg::kTextColor));
    widget->setPalette(palette);
    widget->setAutoFillBackground(false);
}
} // namespace

// The run the worker reports to: it hands every change to the window's
// thread through queued signals, so the worker never touches a widget.
class CProgressDlg::DialogRun final : public ProgressRun {
public:
    DialogRun(CProgressDlg* dialog, int maximum) : ProgressRun(maximum), dialog_(dialog) {}
    DialogRun(CProgressDlg* dialog, const QStringList& taskPaths)
        : ProgressRun(taskPaths), dialog_(dialog) {}

protected:
    void OnProgress(int current, int overall) override {
        emit dialog_->progressReported(current, overall);
    }
    void OnClosed(int result) override { emit dialog_->runClosed(result); }

private:
    CProgressDlg* dialog_;
};

CProgressDlg::CProgressDlg(IMessages& messages, IShutdownService& shutdown, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint), messages_(messages),
      shutdown_(shutdown) {
    setFixedSize(kWindowSize);
    setFont(SharedSmallFont());
    CreateControls();
    connect(this, &CProgressDlg::progressReported, this, &CProgressDlg::ShowProgress,
            Qt::QueuedConnection);
    connect(this, &CProgressDlg::runClosed, this, &CProgressDlg::OnRunClosed, Qt::QueuedConnection);
}

CProgressDlg::~CProgressDlg() {
    if (worker_) {
        // The window goes while its worker runs: the run ends (a paused
        // worker is let go) and the worker stops at its next check.
        run_->EndDialog(0);
        worker_->wait();
        delete worker_;
        worker_ = nullptr;
    }
    if (run_ && !finished_)
        PowerOffIfTicked();
}

ProgressRun* CProgressDlg::run() const {
    return run_.get();
}

void CProgressDlg::CreateControls() {
    const auto label = [this](const QString& text, const QRect& place) {
        auto* l = new QLabel(text, this);
        l->setGeometry(place);
        UseTextColour(l);
        return l;
    };
    currentBar_ = new CColorProgressCtrl(this);
    currentBar_->setGeometry(kUpperBar);
    currentLabel_ = label(QStringLiteral("当前进度:"), kUpperLabel);
    overallBar_ = new CColorProgressCtrl(this);
    overallBar_->setGeometry(kLowerBar);
    overallLabel_ = label(QStringLiteral("总体进度:"), kLowerLabel);

    const auto button = [this](const char* text, const QRect& place) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setGeometry(place);
        // Enter on a focused button must not act either.
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };
    pauseButton_ = button(kPause, kPausePlace);
    abortButton_ = button("中止", kAbortPlace);
    shutdownBox_ = new QCheckBox(QStringLiteral("完成后关机"), this);
    // The box keeps its place but is never narrower than its text: the
    // program's font runs wider than the one the place was measured for.
    shutdownBox_->setGeometry(kShutdownPlace.adjusted(
        0, 0, qMax(0, shutdownBox_->sizeHint().width() - kShutdownPlace.width()), 0));
    UseTextColour(shutdownBox_);
    abortingLabel_ = label(QStringLiteral("正在中止,请稍候..."), kAbortingPlace);
    abortingLabel_->hide();

    connect(pauseButton_, &QPushButton::clicked, this, &CProgressDlg::OnPauseClicked);
    connect(abortButton_, &QPushButton::clicked, this, &CProgressDlg::OnAbortClicked);
    connect(shutdownBox_, &QCheckBox::clicked, this, &CProgressDlg::OnShutdownClicked);
}

void CProgressDlg::ArrangeForRun() {
    if (pageRun_) {
        // One page: a single bar, in the lower place, and nothing to pause.
        overallLabel_->hide();
        overallBar_->hide();
        pauseButton_->hide();
        abortButton_->hide();
        currentLabel_->setGeometry(kLowerLabel);
        currentBar_->setGeometry(kLowerBar);
        currentBar_->SetRange(0, 100);
        overallBar_->SetRange(0, 100);
    } else {
        currentLabel_->hide();
        currentBar_->hide();
        currentBar_->SetRange(0, 100);
        overallBar_->SetRange(0, run_->Maximum());
    }
    currentBar_->SetPos(0);
    overallBar_->SetPos(0);
}

void CProgressDlg::Start(int pageIndex, const CustomerTask* task) {
    if (run_)
        return;
    pageRun_ = task != nullptr;
    run_ = pageRun_ ? std::make_unique<DialogRun>(this, 100)
                    : std::make_unique<DialogRun>(this, taskPaths_);
    ArrangeForRun();
    run_->Open();
    setWindowModality(Qt::ApplicationModal);
    show();

    ComposeEnvironment env = env_;
    if (env_.openFile) {
        // Showing the image is the window's business, on the window's thread.
        const auto open = env_.openFile;
        env.openFile = [this, open](const QString& image) {
            QMetaObject::invokeMethod(
                this, [open, image] { open(image); }, Qt::QueuedConnection);
        };
    }
    DialogRun* run = run_.get();
    worker_ = QThread::create([run, env, pageIndex, task] {
        if (task)
            RunPreviewPage(*task, pageIndex, *run, env);
        else
            TaskRunThreadProc(run, env);
    });
    connect(worker_, &QThread::finished, this, &CProgressDlg::OnWorkerEnded, Qt::QueuedConnection);
    worker_->start();
}

int CProgressDlg::Run(int pageIndex, const CustomerTask* task) {
    Start(pageIndex, task);
    if (!windowClosed_)
        exec();
    if (!finished_) {
        // The window has closed; its worker is at its very end.
        QEventLoop wait;
        connect(this, &CProgressDlg::runFinished, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return closeResult_;
}

void CProgressDlg::OnPauseClicked() {
    if (!run_ || !run_->IsActive())
        return;
    if (pauseButton_->text() == QString::fromUtf8(kPause)) {
        run_->Pause();
        pauseButton_->setText(QString::fromUtf8(kContinue));
    } else {
        run_->Continue();
        pauseButton_->setText(QString::fromUtf8(kPause));
    }
}

void CProgressDlg::OnAbortClicked() {
    if (!run_ || !run_->IsActive())
        return;
    // A paused run must be continued before it can be aborted.
    if (pauseButton_->text() == QString::fromUtf8(kContinue))
        return;
    if (!messages_.AskYesNo(QStringLiteral("确定中止套版吗？")))
        return;
    if (run_->Abort())
        abortingLabel_->show();
}

void CProgressDlg::OnShutdownClicked(bool checked) {
    if (checked && !messages_.AskYesNo(QStringLiteral("确定套完版关机吗？")))
        shutdownBox_->setChecked(false);
}

void CProgressDlg::ShowProgress(int current, int overall) {
    // A skipped page widens the run's range.
    if (!pageRun_ && overallBar_->Upper() != run_->Maximum())
        overallBar_->SetRange(0, run_->Maximum());
    currentBar_->SetPos(current);
    overallBar_->SetPos(overall);
}

void CProgressDlg::OnRunClosed(int result) {
    if (windowClosed_)
        return;
    windowClosed_ = true;
    closeResult_ = result;
    done(result);
    FinishRun();
}

void CProgressDlg::OnWorkerEnded() {
    workerEnded_ = true;
    // A worker that ended without closing its run still closes the window.
    if (!run_->IsClosed())
        run_->EndDialog(0);
    FinishRun();
}

void CProgressDlg::FinishRun() {
    if (finished_ || !windowClosed_ || !workerEnded_)
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    finished_ = true;
    PowerOffIfTicked();
    emit runFinished();
}

void CProgressDlg::PowerOffIfTicked() {
    if (shutdownDone_ || !shutdownBox_->isChecked())
        return;
    shutdownDone_ = true;
    // The answer may come after this window is gone; the operator's message
    // interface outlives it.
    IMessages* messages = &messages_;
    shutdown_.PowerOff([messages](bool ok, const QString& error) {
        if (ok)
            return;
        QString text = QString::fromUtf8(kShutdownFailedMessage);
        if (!error.isEmpty())
            text += "\n" + error;
        messages->Inform(text);
    });
}

void CProgressDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    if (windowClosed_)
        event->accept();
    else
        event->ignore();
}
