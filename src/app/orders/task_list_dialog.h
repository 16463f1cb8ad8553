#pragma once

#include <QDialog>
#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>
#include <memory>

class CSortListCtrl;
class QCheckBox;
class QComboBox;
class IMessages;
class QPushButton;
class ReviewServing;

// "任务列表": the studio's order book, the customer tasks of the task store
// newest first with their page counts, how far compositing got and the date
// of their last change. From here the operator records, edits, deletes,
// composes and exports customers, and opens one in the main window.
class CTaskListDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTaskListDlg)
public:
    // Runs the compositing of the given task files, in that order, and
    // returns when the run has ended.
    using ComposeTasks = std::function<void(const QStringList& taskPaths)>;

    enum Command {
        NewTask,
        Edit,
        Delete,
        Open,
        ComposeOne,
        ComposeSelected,
        Export,
        Close,
        Check,
        Review,
    };

    CTaskListDlg(IMessages& messages, ComposeTasks composeTasks, QWidget* parent = nullptr);
    ~CTaskListDlg() override;

    // The task file chosen with "开始" or a double click; meaningful when the
    // dialog ended accepted.
    const QString& ResultPath() const { return resultPath_; }

    // Where "输出" asks for the destination folder (empty: cancelled) and how
    // it shows the folder afterwards. By default a folder dialog and the
    // desktop's file manager.
    void SetFolderChooser(std::function<QString()> chooser) { chooseFolder_ = std::move(chooser); }
    void SetFolderOpener(std::function<void(const QString&)> opener) {
        openFolder_ = std::move(opener);
    }

    // The review server "审阅" starts: the main window's, which outlives
    // this dialog; without one the dialog keeps its own.
    void SetReviewServing(ReviewServing* serving) { serving_ = serving; }

    CSortListCtrl* list() const { return list_; }
    QPushButton* button(Command command) const { return buttons_.value(command); }
    // Ticked: "输出" also writes manifest.csv for the print lab.
    QCheckBox* manifestBox() const { return manifestBox_; }
    // The print lab "输出" writes for: the first entry is the plain export,
    // the others the lab profiles of <base>/设置/labs. A lab's export runs
    // its preflight first and always writes the manifest.
    QComboBox* labBox() const { return labBox_; }

    // Reads the order book from the task store again.
    void Reload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NewTaskCommand();
    void EditCommand();
    void DeleteCommand();
    void OpenCommand();
    void ComposeOneCommand();
    void ComposeSelectedCommand();
    void ExportCommand();
    void CheckCommand();
    void ReviewCommand();
    void LabChosen();
    // The export by the chosen lab's profile: its preflight's findings
    // shown, the export done anyway when the operator says so.
    void ExportForLab(const QString& lab, const QString& customer, const QString& status,
                      const std::function<QString()>& choose,
                      const std::function<void(const QString&)>& open);
    // The selected row's customer as the task store names its folder (a task
    // lying deeper keeps the folders above it).
    QString CustomerOfRow(int row) const;
    QString ChooseFolderWithDialog();
    // The first selected row, or -1 after telling the operator what to select.
    int SelectedRowOrSay(const char* message);

    IMessages& messages_;
    ComposeTasks composeTasks_;
    std::function<QString()> chooseFolder_;
    std::function<void(const QString&)> openFolder_;
    QString resultPath_;
    CSortListCtrl* list_;
    QMap<int, QPushButton*> buttons_;
    QCheckBox* manifestBox_;
    QComboBox* labBox_;
    bool manifestWanted_ = false; // the box's tick while a lab forces it on
    ReviewServing* serving_ = nullptr;
    std::unique_ptr<ReviewServing> ownServing_;
};
