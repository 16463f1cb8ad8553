#pragma once

#include "app/main_window/main_layout.h"
#include "app/main_window/wheel_steps.h"
#include "compose/canvas_history.h"
#include "compose/canvas_operation.h"
#include "compose/compose_canvas.h"
#include "production/compose_task.h"
#include "production/new_page.h"
#include "production/smart_selection.h"
#include "records/customer_presence.h"
#include "records/customer_task.h"
#include "records/order_lines.h"
#include "templates/template_library.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QMap>
#include <QTimer>
#include <functional>
#include <memory>

class CBusyPopup;
class ReviewMarks;
class ReviewServing;
class CCanvasView;
class COrderList;
class CTemplateDownloadDlg;
class CTemplateTreeView;
class CThumbnailList;
class IMessages;
class IShutdownService;
class QCheckBox;
class QWheelEvent;
class QLabel;
class QListWidget;

// The pace of the template test run (Ctrl+Shift+F3): the wait from the key
// to the first template, and the pause both after a template is shown
// (before it is saved) and after it is saved (before the next is shown),
// long enough for the operator to look at each page.
struct TemplateTestPacing {
    int firstMs = 10;
    int betweenMs = 2000;
};

// The main window: the template area, the customer photos, the canvas with
// its toolbar, the order list and the finished pages side by side. It turns
// every button, key, wheel turn and toolbar click into the work of the core.
class CMainDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainDlg)
public:
    explicit CMainDlg(IMessages& messages, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Shows the window with its frame filling the screen's free area
    // (start-up).
    void ShowOnScreen();

    QWidget* control(int id) const { return controls_.value(id); }
    CCanvasView* canvasView() const { return canvasView_; }
    CComposeCanvas& canvas() { return canvas_; }
    TemplateLibrary& library() { return library_; }
    CustomerTask& task() { return task_; }
    const MainLayout& currentLayout() const { return layout_; }
    QString sizeLabelText() const;
    const QStringList& customerPhotos() const { return customerPhotos_; }
    const QStringList& usedPhotos() const { return usedPhotos_; }
    const QString& customerName() const { return customerName_; }
    QSize pageSize() const { return pageSize_; }

    // Whether moves act on the photo inside its slot: the box "锁定人像位置"
    // ticked, either Shift key held, or F2 held.
    bool LockState() const;
    // The one place every canvas edit goes through.
    void RunOperation(CanvasOperation op, int argument = 0);
    // Runs an edit of the page in hand as one step of its history.
    void RunEdit(const std::function<void()>& edit, CanvasEditInput input = {});
    // Alt+Backspace and Ctrl+Y.
    void UndoEdit();
    void RedoEdit();
    const CanvasHistory& history() const { return history_; }

    // The customer whose task file the task list returned.
    void ChooseCustomer(const QString& taskPath);
    void OpenTask(const QString& taskPath);
    // The order list's entry at row became the selection (0 is the header).
    void SelectProduct(int row);
    // The size label from the template and the output part last built;
    // saves the customer task when asked.
    void RefreshSizeLabel(bool saveTask);
    // Saves the canvas as a finished page; customerCheck as for "保存".
    void SaveComposition(bool customerCheck);
    void OpenTaskFileCommand();  // Ctrl+O
    void StartTemplateTestRun(); // Ctrl+Shift+F3
    void SetTemplateTestPacing(const TemplateTestPacing& pacing) { testPacing_ = pacing; }

    // Where the window asks for a task file (Ctrl+O) and for a customer
    // ("任务", "输出"); empty means cancelled. Tests answer without a dialog.
    void SetTaskFileChooser(std::function<QString()> chooser) {
        chooseTaskFile_ = std::move(chooser);
    }
    void SetCustomerChooser(std::function<QString()> chooser) {
        chooseCustomer_ = std::move(chooser);
    }
    // Where "调入照片" asks for photos; empty means cancelled.
    void SetPhotoChooser(std::function<QStringList()> chooser) {
        choosePhotos_ = std::move(chooser);
    }

    // The template area: the tree instead of the customer photos, and back.
    void ShowTemplateTree();
    void HideTemplateTree();
    void OpenTemplateSet(const QString& folder);
    // The customer photo area.
    void ImportPhotos();
    void RemoveSelectedPhoto();
    void ClearPhotos();
    // "调入选中照片": the photos the customer chose in the review replace
    // the list.
    void ImportChosenPhotos();
    // Recounts how often the open task's pages use each customer photo.
    void RefreshPhotoUsage();
    // The finished-products area.
    void OpenFinishedPageAt(int position); // a click on the page at position (-1: none)
    void DeleteSelectedPage();
    void PreviewCommand();
    // Right-click on a finished page: its product's pages copied to another
    // ordered product (the parents' smaller album).
    void ShowFinishedMenu(const QPoint& position);
    void CopyProductPagesTo(int fromRow, int toRow);
    int selectedPage() const { return selectedPage_; }
    const QStringList& finishedPages() const { return finishedPages_; }
    ReviewServing& reviewServing() { return *reviewServing_; }
    // How a previewed page is shown (by default the desktop's image viewer),
    // and who powers the machine off after a batch that asks for it.
    void SetFileOpener(std::function<void(const QString&)> opener) {
        openFile_ = std::move(opener);
    }
    void SetShutdownService(IShutdownService* service) { shutdown_ = service; }

    // Smart selection: "随机模板", "选中此套", "随机客片" and the dialog.
    SmartSelection& smartSelection() { return smartSelection_; }
    SeededRandom& random() { return random_; }
    SmartSelectionContext MakeSmartContext();
    SmartSelectCommands& smartCommands() { return smartCommands_; }
    void ShowSmartSelectDialog();
    // "生成初稿(补齐缺页)": the selected product's missing pages made at once
    // from unused customer photos, with a progress window that can cancel.
    void MakeDraftPages(ShapeFilter shape, const SlotCountFilter& slotCounts);
    // "模板管理": the download window, made on first use and kept.
    void ShowTemplateManager();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FitFrameToScreen();
    void CreateControls();
    void ApplyLayout();
    void FillTemplateList();
    void FillPhotoList();
    void LoadSamplePhotos();
    void RefillFinishedList();
    bool AppendFinishedPage();
    // The customer's review in the finished-products area and the canvas.
    void ShowReviewMarks();
    void PaintReviewPin(QPainter& painter) const;
    bool HandleKey(QKeyEvent* event);
    void ZoomByWheel(const QWheelEvent& event);
    void ChooseCustomerCommand();
    void ShowDpiDialog();
    SavePageRequest MakeSaveRequest(bool customerCheck) const;
    void ReselectFinishedPage();
    // Composes the task files in order through the progress window.
    void ComposeTasks(const QStringList& taskPaths);
    ComposeEnvironment MakeComposeEnvironment();
    void OnTemplateTestStep();
    void OnTemplateTestSave();
    QString ChooseTaskFileWithDialog();
    QString ChooseCustomerWithDialog();

    IMessages& messages_;
    QMap<int, QWidget*> controls_;
    CThumbnailList* templateList_ = nullptr;
    CTemplateTreeView* templateTree_ = nullptr;
    CThumbnailList* photoList_ = nullptr;
    CThumbnailList* finishedList_ = nullptr;
    COrderList* orderList_ = nullptr;
    QLabel* sizeLabel_ = nullptr;
    QCheckBox* lockBox_ = nullptr;
    CCanvasView* canvasView_ = nullptr;
    std::unique_ptr<CBusyPopup> busy_;
    QImage toolbar_;

    TemplateLibrary library_;
    CComposeCanvas canvas_;
    CanvasHistory history_;
    CustomerTask task_;
    MainLayout layout_;
    QSize recordedCanvasSize_;

    QStringList customerPhotos_;
    QStringList usedPhotos_;
    QStringList finishedPages_;
    int selectedPage_ = -1;

    // The order: element 0 of each list stands for the header entry.
    QString customerName_;
    QString customerDisplayName_;
    QList<OrderLine> orderLines_;
    QSize pageSize_;
    QString outputPart_;

    bool f2Down_ = false;
    WheelSteps wheelSteps_;
    // This station's mark in the open customer's folder.
    CustomerPresence presence_;
    QString presenceFolder_;
    QTimer presenceTimer_;
    // A key the window acted on and let through; its way up the parents
    // must not act again.
    QObject* keyReceiver_ = nullptr;
    const QEvent* keyEvent_ = nullptr;

    QTimer testStepTimer_; // loads the next template of a test run
    QTimer testSaveTimer_; // saves it a pause later
    TemplateTestPacing testPacing_;

    std::function<QString()> chooseTaskFile_;
    std::function<QString()> chooseCustomer_;
    std::function<QStringList()> choosePhotos_;
    std::function<void(const QString&)> openFile_;
    IShutdownService* shutdown_ = nullptr;

    CTemplateDownloadDlg* downloadDialog_ = nullptr;
    // A download replaced library files: the index is read again at the
    // next look into the library.
    bool libraryStale_ = false;

    // The review server while a customer's review is open, and what the
    // customer said about the open task's pages.
    std::unique_ptr<ReviewServing> reviewServing_;
    ReviewMarks* reviewMarks_ = nullptr;

    SeededRandom random_;
    SmartSelection smartSelection_;
    SmartSelectCommands smartCommands_{smartSelection_, [this] { return MakeSmartContext(); }};
};
