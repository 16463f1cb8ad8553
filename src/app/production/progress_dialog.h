#pragma once

#include "production/compose_task.h"
#include "production/progress_run.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class CColorProgressCtrl;
class CustomerTask;
class IMessages;
class IShutdownService;
class QCheckBox;
class QLabel;
class QPushButton;
class QThread;

// The small window of a compositing run: it starts the batch worker on its
// own thread, shows its progress, lets the operator pause, continue and
// abort a task run, and powers the machine off after the run when asked to.
// It has no title bar and closes itself when the run is complete or stopped.
// While it is open its run is g_pProgressDlg.
class CProgressDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CProgressDlg)
public:
    static constexpr QRgb kTextColor = 0xFF540D5E; // RGB (84, 13, 94)
    static const char* const kPause;               // "暂停"
    static const char* const kContinue;            // "继续"

    CProgressDlg(IMessages& messages, IShutdownService& shutdown, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // The task files of a task run, in run order; set before Start or Run.
    void SetTaskPaths(const QStringList& paths) { taskPaths_ = paths; }
    // The canvas size for pages saved without one, and how a page run shows
    // its finished image (called on the window's thread). Set before Start.
    void SetEnvironment(const ComposeEnvironment& env) { env_ = env; }

    // Opens the window, modal to the application, and starts the worker: a
    // task run over the task paths when task is null, else a page run of
    // page pageIndex of task, which the caller keeps unchanged until the run
    // has finished. Returns at once; a window starts only one run.
    void Start(int pageIndex, const CustomerTask* task);
    // Start, then waits while the window's messages go on until the run has
    // finished (see runFinished). Returns 1 when the run reached its
    // maximum, 0 when it was aborted or ended early.
    int Run(int pageIndex, const CustomerTask* task);

    // The window has closed, the worker has ended and a ticked
    // "完成后关机" has been asked of the system (its answer is not awaited).
    bool IsFinished() const { return finished_; }
    bool IsPageRun() const { return pageRun_; }
    // The run's state; null before Start.
    ProgressRun* run() const;

    CColorProgressCtrl* currentBar() const { return currentBar_; }
    CColorProgressCtrl* overallBar() const { return overallBar_; }
    QLabel* currentLabel() const { return currentLabel_; }
    QLabel* overallLabel() const { return overallLabel_; }
    QLabel* abortingLabel() const { return abortingLabel_; }
    QPushButton* pauseButton() const { return pauseButton_; }
    QPushButton* abortButton() const { return abortButton_; }
    QCheckBox* shutdownBox() const { return shutdownBox_; }

signals:
    // From the worker's thread, delivered queued.
    void progressReported(int current, int overall);
    void runClosed(int result);
    // The run is over as IsFinished describes.
    void runFinished();

protected:
    // Enter and Escape are swallowed: the run cannot be dismissed from the
    // keyboard.
    void keyPressEvent(QKeyEvent* event) override;
    // Nor by the window manager while the run goes on.
    void closeEvent(QCloseEvent* event) override;

private:
    class DialogRun;

    void CreateControls();
    void ArrangeForRun();
    void OnPauseClicked();
    void OnAbortClicked();
    void OnShutdownClicked(bool checked);
    void ShowProgress(int current, int overall);
    void OnRunClosed(int result);
    void OnWorkerEnded();
    void FinishRun();
    void PowerOffIfTicked();

    IMessages& messages_;
    IShutdownService& shutdown_;
    QStringList taskPaths_;
    ComposeEnvironment env_;

    CColorProgressCtrl* currentBar_ = nullptr;
    CColorProgressCtrl* overallBar_ = nullptr;
    QLabel* currentLabel_ = nullptr;
    QLabel* overallLabel_ = nullptr;
    QLabel* abortingLabel_ = nullptr;
    QPushButton* pauseButton_ = nullptr;
    QPushButton* abortButton_ = nullptr;
    QCheckBox* shutdownBox_ = nullptr;

    std::unique_ptr<DialogRun> run_;
    QThread* worker_ = nullptr;
    bool pageRun_ = false;
    bool windowClosed_ = false;
    bool workerEnded_ = false;
    bool shutdownDone_ = false;
    bool finished_ = false;
    int closeResult_ = 0;
};
