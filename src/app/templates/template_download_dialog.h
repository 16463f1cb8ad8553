#pragma once

#include "download/template_downloader.h"

#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>

class IMessages;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// "模板管理": the operator ticks the template categories and starts the
// download from the template server. The window is modeless and closing it
// (caption close box or Esc) only hides it: a download goes on in the
// background and the status line shows where it stands when the window is
// shown again. Destroying the window cancels a running download and waits
// for its worker, keeping the other windows painted meanwhile.
class CTemplateDownloadDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTemplateDownloadDlg)
public:
    explicit CTemplateDownloadDlg(IMessages& messages, QWidget* parent = nullptr);
    ~CTemplateDownloadDlg() override;

    // "开始下载": takes the ticked categories once (later changes to the
    // boxes do not touch a running download), refuses with
    // "未选中模板类别!" when none is ticked, else disables the button and
    // starts the worker. The lookup's refusal comes later as a message.
    void StartDownload();
    // "最新模板": the template server's showcase page in the browser.
    void OpenLatestTemplates();
    bool IsRunning() const { return running_; }

    // Waits and limits of the worker (tests shorten them), and how the
    // showcase page is opened (QDesktopServices by default).
    void SetTuning(const DownloadTuning& tuning) { tuning_ = tuning; }
    void SetUrlOpener(std::function<void(const QUrl&)> opener) { openUrl_ = std::move(opener); }

    QCheckBox* categoryBox(int category) const { return boxes_.at(category); }
    QGroupBox* groupBox() const { return group_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* latestButton() const { return latest_; }
    QLabel* statusLabel() const { return status_; }

signals:
    // A download ended after it replaced files of the template library
    // (index files included): whoever holds the library in memory reads it
    // again before it next needs it.
    void LibraryChanged();
    // A download ended, however (also a refused one); the button is
    // enabled again.
    void DownloadEnded();

    // From the worker's thread, delivered queued.
    void statusReported(const QString& text);
    void runEnded(int end, const QString& message, int filesWritten);

private:
    class Relay;

    void OnRunEnded(int end, const QString& message, int filesWritten);

    IMessages& messages_;
    std::array<QCheckBox*, kCategoryCount> boxes_{};
    QGroupBox* group_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* latest_ = nullptr;
    QLabel* status_ = nullptr;

    DownloadTuning tuning_;
    std::function<void(const QUrl&)> openUrl_;
    std::unique_ptr<Relay> relay_;
    TemplateDownloader downloader_;
    bool running_ = false;
    bool destroying_ = false;
};
