#include "app/main_window/main_window.h"

#include "app/main_window/busy_popup.h"
#include "app/main_window/canvas_view.h"
#include "app/main_window/control_ids.h"
#include "app/main_window/key_table.h"
#include "app/orders/dpi_dialog.h"
#include "app/orders/order_entries.h"
#include "app/orders/order_list.h"
#include "app/orders/review_serving.h"
#include "app/orders/task_list_dialog.h"
#include "app/photo_and_page_areas/review_marks.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app/production/progress_dialog.h"
#include "app/production/shutdown_service.h"
#include "app/production/smart_select_dialog.h"
#include "app/templates/template_download_dialog.h"
#include "app/templates/template_tree_view.h"
#include "common/find_files.h"
#include "common/messages.h"
#include "compose/canvas_size_file.h"
#include "compose/face_keeping_setting.h"
#include "controls/canvas_toolbar.h"
#include "controls/shared_fonts.h"
#include "production/compose_task.h"
#include "production/finished_pages.h"
#include "production/new_page.h"
#include "production/progress_run.h"
#include "records/customer_details.h"
#include "records/customer_presence.h"
#include "records/customer_update.h"
#include "records/dpi_setting.h"
#include "records/installation_id.h"
#include "records/photo_usage.h"
#include "records/resolution_threshold.h"
#include "records/workspace_paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>

CMainDlg::CMainDlg(IMessages& messages, QWidget* parent)
    : QDialog(parent, Qt::Window), messages_(messages) {
    setWindowTitle(QStringLiteral("景岚 - 影楼套版软件  (版本:001   ID:") + InstallationId() +
                   QStringLiteral(")"));
    setFont(SharedSmallFont());
    library_.ReadFileList();
    library_.ReadSetIndex();
    task_.Clear();
    task_.SetPath({});

    busy_ = std::make_unique<CBusyPopup>(this);
    canvas_.SetBusyIndicator(busy_.get());
    canvas_.EnableScreenCopies(true);
    canvas_.SetRelabelHandler([this] { RefreshSizeLabel(false); });
    toolbar_ = CanvasToolbarBitmap();
    reviewServing_ = std::make_unique<ReviewServing>();
    reviewServing_->Refresh();
    reviewMarks_ = new ReviewMarks(task_, this);
    connect(reviewMarks_, &ReviewMarks::Changed, this, &CMainDlg::ShowReviewMarks);

    CreateControls();
    library_.SearchTemplates();
    library_.OpenInitialSet();
    FillTemplateList();
    resize(1280, 860);
    ApplyLayout();
    LoadSamplePhotos();

    testStepTimer_.setSingleShot(true);
    testSaveTimer_.setSingleShot(true);
    connect(&testStepTimer_, &QTimer::timeout, this, &CMainDlg::OnTemplateTestStep);
    connect(&testSaveTimer_, &QTimer::timeout, this, &CMainDlg::OnTemplateTestSave);
    connect(&presenceTimer_, &QTimer::timeout, this, [this] { presence_.Refresh(); });
    presenceTimer_.start(CustomerPresence::kRefreshMs);
    qApp->installEventFilter(this);
}

CMainDlg::~CMainDlg() {
    // A running download is cancelled while the window is still whole.
    delete downloadDialog_;
    qApp->removeEventFilter(this);
    canvas_.SetBusyIndicator(nullptr);
    canvas_.SetRelabelHandler({});
}

void CMainDlg::ShowOnScreen() {
    // The frame is known only once the window exists on the screen, and on
    // some desktops only after the window manager has framed it.
    FitFrameToScreen();
    show();
    FitFrameToScreen();
    QMetaObject::invokeMethod(this, &CMainDlg::FitFrameToScreen, Qt::QueuedConnection);
}

void CMainDlg::FitFrameToScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The whole window, title bar and borders included, takes the screen's
    // free area; the client area is what is left inside the frame.
    const QRect free = screen->availableGeometry();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    setGeometry(free.marginsRemoved(frame));
}

void CMainDlg::CreateControls() {
    using namespace ControlId;
    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        controls_[id] = b;
        return b;
    };
    auto label = [this](int id, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        controls_[id] = l;
        return l;
    };

    label(TemplateTitle, "模板区");
    connect(button(TemplateManager, "模板管理"), &QPushButton::clicked, this,
            &CMainDlg::ShowTemplateManager);
    templateList_ = new CThumbnailList(ThumbnailSource::TemplatePreview, this);
    controls_[TemplateList] = templateList_;
    connect(templateList_, &CThumbnailList::EntryClicked, this, [this](int position) {
        const QString page = library_.openSet().PagePath(position);
        if (!page.isEmpty())
            canvas_.LoadTemplateFile(page, true);
    });
    templateTree_ = new CTemplateTreeView(library_, this);
    templateTree_->hide();
    controls_[TemplateTree] = templateTree_;
    connect(templateTree_, &CTemplateTreeView::SetChosen, this, &CMainDlg::OpenTemplateSet);
    connect(button(ShowTree, "选模板"), &QPushButton::clicked, this, &CMainDlg::ShowTemplateTree);
    connect(button(HideTree, "选中"), &QPushButton::clicked, this, &CMainDlg::HideTemplateTree);
    controls_[HideTree]->hide();

    label(PhotoTitle, "客照区");
    connect(button(ControlId::ImportPhotos, "调入照片"), &QPushButton::clicked, this,
            &CMainDlg::ImportPhotos);
    connect(button(RemovePhoto, "删除"), &QPushButton::clicked, this,
            &CMainDlg::RemoveSelectedPhoto);
    connect(button(ControlId::ClearPhotos, "清空"), &QPushButton::clicked, this,
            &CMainDlg::ClearPhotos);
    connect(button(ImportChosen, "调入选中照片"), &QPushButton::clicked, this,
            &CMainDlg::ImportChosenPhotos);
    controls_[ImportChosen]->hide();
    photoList_ = new CThumbnailList(ThumbnailSource::CustomerPhoto, this);
    photoList_->SetScanFaces(canvas_.keepFaces());
    controls_[PhotoList] = photoList_;
    connect(photoList_, &CThumbnailList::EntryClicked, this, [this](int position) {
        if (position >= 0 && position < customerPhotos_.size())
            RunEdit([&] { canvas_.PutPhoto(customerPhotos_.at(position), true, -1); });
    });
    connect(photoList_, &CThumbnailList::Loaded, this, &CMainDlg::RefreshPhotoUsage);

    label(CanvasTitle, "套版区");
    sizeLabel_ = label(SizeLabel, "");
    canvasView_ = new CCanvasView(canvas_, this);
    canvasView_->SetLockQuery([this] { return LockState(); });
    canvasView_->SetEditRunner([this](const std::function<void()>& edit) { RunEdit(edit); });
    canvasView_->SetWheelHandler([this](const QWheelEvent& event) { ZoomByWheel(event); });
    canvasView_->SetPrintSettings(CurrentDpi(), CurrentResolutionThreshold());
    canvasView_->SetOverlayPainter([this](QPainter& painter) { PaintReviewPin(painter); });
    controls_[Canvas] = canvasView_;
    connect(button(RandomTemplate, "随机模板"), &QPushButton::clicked, this,
            [this] { smartSelection_.RandomTemplateBySet(MakeSmartContext()); });
    connect(button(OpenDrawnSet, "选中此套"), &QPushButton::clicked, this,
            [this] { smartSelection_.OpenDrawnSet(MakeSmartContext()); });
    connect(button(RandomPhotos, "随机客片"), &QPushButton::clicked, this,
            [this] { RunEdit([this] { smartSelection_.RandomPhotos(MakeSmartContext()); }); });
    connect(button(SmartSelect, "智能筛选"), &QPushButton::clicked, this,
            &CMainDlg::ShowSmartSelectDialog);
    smartCommands_.SetDraftHandler([this](ShapeFilter shape, const SlotCountFilter& counts) {
        MakeDraftPages(shape, counts);
    });
    lockBox_ = new QCheckBox(QStringLiteral("锁定人像位置"), this);
    lockBox_->setChecked(true);
    lockBox_->setFocusPolicy(Qt::TabFocus);
    controls_[LockPortrait] = lockBox_;

    connect(button(Tasks, "任务"), &QPushButton::clicked, this, &CMainDlg::ChooseCustomerCommand);
    orderList_ = new COrderList(this);
    controls_[OrderList] = orderList_;
    connect(orderList_, &QListWidget::currentRowChanged, this, &CMainDlg::SelectProduct);
    connect(button(Dpi, "DPI"), &QPushButton::clicked, this, &CMainDlg::ShowDpiDialog);

    label(FinishedTitle, "成品区");
    connect(button(Preview, "预览"), &QPushButton::clicked, this, &CMainDlg::PreviewCommand);
    connect(button(SavePage, "保存"), &QPushButton::clicked, this,
            [this] { SaveComposition(true); });
    connect(button(DeletePage, "删除"), &QPushButton::clicked, this, &CMainDlg::DeleteSelectedPage);
    connect(button(Output, "输出"), &QPushButton::clicked, this, &CMainDlg::ChooseCustomerCommand);
    finishedList_ = new CThumbnailList(ThumbnailSource::ImageFile, this);
    controls_[FinishedList] = finishedList_;
    connect(finishedList_, &CThumbnailList::EntryClicked, this, &CMainDlg::OpenFinishedPageAt);
    connect(finishedList_, &CThumbnailList::Loaded, this, &CMainDlg::ReselectFinishedPage);
    finishedList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(finishedList_, &QWidget::customContextMenuRequested, this, &CMainDlg::ShowFinishedMenu);

    // Kept but never shown, so their commands cannot be given.
    button(OpenSeries, "打开套系")->hide();
    button(DeletePhotoHidden, "删除照片")->hide();
    button(DeleteAllHidden, "全部删除")->hide();
    button(UnnamedButton, "")->hide();
    auto* combo = new QComboBox(this);
    combo->hide();
    controls_[FindCombo] = combo;
    auto* list = new QListWidget(this);
    list->hide();
    controls_[HiddenList] = list;
    label(HiddenLabel, "")->hide();
    label(FindLabel, "查找客人: (输入客人姓名,拼音或电话.如zs)")->hide();
}

void CMainDlg::ApplyLayout() {
    layout_ = ComputeMainLayout(size(), lockBox_->sizeHint().width());
    for (auto it = layout_.controls.cbegin(); it != layout_.controls.cend(); ++it) {
        if (QWidget* w = controls_.value(it.key()))
            w->setGeometry(it.value());
    }
    canvasView_->setGeometry(layout_.canvas);
    if (templateTree_->isVisible())
        templateList_->setGeometry(layout_.controls.value(ControlId::PhotoList));
    if (layout_.canvas.size() != recordedCanvasSize_) {
        // A saved page keeps the canvas it was made on; the batch takes
        // this size for pages saved without one.
        recordedCanvasSize_ = layout_.canvas.size();
        RecordCanvasSize(recordedCanvasSize_);
    }
    canvas_.ResizeClient(layout_.canvas.size());
    update();
}

void CMainDlg::FillTemplateList() {
    templateList_->ShowEntries(library_.openSet().pages, library_.openSet().Labels());
}

void CMainDlg::ShowTemplateTree() {
    if (templateTree_->isVisible())
        return;
    if (libraryStale_) {
        libraryStale_ = false;
        library_.ReadFileList();
        library_.ReadSetIndex();
        library_.SearchTemplates();
    }
    templateTree_->Rebuild();
    templateTree_->show();
    controls_[ControlId::HideTree]->show();
    for (int id : {ControlId::PhotoList, ControlId::PhotoTitle, ControlId::ClearPhotos,
                   ControlId::RemovePhoto, ControlId::ImportPhotos, ControlId::ImportChosen})
        controls_[id]->hide();
    templateList_->setGeometry(layout_.controls.value(ControlId::PhotoList));
}

void CMainDlg::HideTemplateTree() {
    if (!templateTree_->isVisible())
        return;
    templateTree_->hide();
    controls_[ControlId::HideTree]->hide();
    for (int id : {ControlId::TemplateList, ControlId::PhotoList, ControlId::PhotoTitle,
                   ControlId::ClearPhotos, ControlId::RemovePhoto, ControlId::ImportPhotos})
        controls_[id]->show();
    ShowReviewMarks();
    QRect list = templateList_->geometry();
    list.moveTop(controls_[ControlId::ShowTree]->geometry().bottom() + 1 + 5);
    templateList_->setGeometry(list);
}

void CMainDlg::OpenTemplateSet(const QString& folder) {
    library_.OpenSet(folder);
    FillTemplateList();
}

QString CMainDlg::sizeLabelText() const {
    return sizeLabel_->text();
}

bool CMainDlg::LockState() const {
    const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    return lockBox_->isChecked() || shift || f2Down_;
}

void CMainDlg::RunOperation(CanvasOperation op, int argument) {
    const bool locked = LockState();
    RunEdit([&] { RunCanvasOperation(canvas_, op, locked, argument); },
            CanvasEditInput{static_cast<int>(op)});
}

void CMainDlg::RunEdit(const std::function<void()>& edit, CanvasEditInput input) {
    history_.Edit(canvas_, edit, input);
}

void CMainDlg::UndoEdit() {
    history_.Undo(canvas_);
}

void CMainDlg::RedoEdit() {
    history_.Redo(canvas_);
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ApplyLayout();
}

void CMainDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(layout_.CanvasFrame(), Qt::white);
    painter.drawImage(ToolbarOrigin(layout_.canvas), toolbar_);
}

void CMainDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int cell = ToolbarCellAt(event->position().toPoint(), layout_.canvas);
        if (cell >= 0) {
            RunOperation(ToolbarCellOperation(cell));
            return;
        }
    }
    QDialog::mousePressEvent(event);
}

void CMainDlg::wheelEvent(QWheelEvent* event) {
    event->accept();
    // Over the window's ground the wheel zooms as over the canvas; a list
    // that reached its end passes the wheel up, and that must not zoom.
    if (!childAt(event->position().toPoint()))
        ZoomByWheel(*event);
}

void CMainDlg::ZoomByWheel(const QWheelEvent& event) {
    const int steps = wheelSteps_.Add(event.angleDelta(), event.phase());
    for (int i = 0; i < std::abs(steps); ++i)
        RunOperation(steps > 0 ? CanvasOperation::EnlargeCoarse : CanvasOperation::ShrinkCoarse);
}

void CMainDlg::changeEvent(QEvent* event) {
    // F2 released in another program never reaches this window; the lock it
    // gives must not outlive the window's activation.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        f2Down_ = false;
    QDialog::changeEvent(event);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Esc must never close the main window.
    if (event->key() == Qt::Key_Escape)
        return event->accept();
    QDialog::keyPressEvent(event);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) {
        keyReceiver_ = nullptr;
        keyEvent_ = nullptr;
        if (key->key() == Qt::Key_F2 && !key->isAutoRepeat())
            f2Down_ = false;
        return QDialog::eventFilter(watched, event);
    }
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);
    // A key a control did not take travels up to its parents; it was acted
    // on at the first of them.
    if (event == keyEvent_ && keyReceiver_ && watched != keyReceiver_ &&
        static_cast<QWidget*>(watched)->isAncestorOf(static_cast<QWidget*>(keyReceiver_)))
        return QDialog::eventFilter(watched, event);
    keyReceiver_ = watched;
    keyEvent_ = event;
    if (HandleKey(key))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool CMainDlg::HandleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2)
        f2Down_ = true;
    KeyState state;
    state.digit = SlotDigitOfKey(event->key(), event->nativeScanCode(),
                                 event->modifiers() & Qt::KeypadModifier);
    state.ctrl = event->modifiers() & Qt::ControlModifier;
    state.alt = event->modifiers() & Qt::AltModifier;
    state.shift = (event->modifiers() & Qt::ShiftModifier) || f2Down_ || lockBox_->isChecked();
    const KeyAction action = MapMainWindowKey(event->key(), state);
    switch (action.command) {
    case KeyAction::Canvas:
        // A held key's repeats make one step of the history.
        RunEdit([&] { RunCanvasOperation(canvas_, action.op, state.shift, action.argument); },
                CanvasEditInput{static_cast<int>(action.op), event->isAutoRepeat(),
                                static_cast<qint64>(event->timestamp())});
        break;
    case KeyAction::Undo:
        UndoEdit();
        break;
    case KeyAction::Redo:
        RedoEdit();
        break;
    case KeyAction::OpenTaskFile:
        OpenTaskFileCommand();
        break;
    case KeyAction::SavePage:
        SaveComposition(true);
        break;
    case KeyAction::Quit:
        if (g_pProgressDlg.load() == nullptr)
            close();
        break;
    case KeyAction::TemplateTestRun:
        StartTemplateTestRun();
        break;
    case KeyAction::Preview:
        PreviewCommand();
        break;
    case KeyAction::None:
        break;
    }
    return action.consumed;
}

void CMainDlg::ChooseCustomerCommand() {
    const QString path = chooseCustomer_ ? chooseCustomer_() : ChooseCustomerWithDialog();
    if (!path.isEmpty())
        ChooseCustomer(path);
}

QString CMainDlg::ChooseCustomerWithDialog() {
    CTaskListDlg tasks(
        messages_, [this](const QStringList& paths) { ComposeTasks(paths); }, this);
    tasks.SetReviewServing(reviewServing_.get());
    if (tasks.exec() != QDialog::Accepted)
        return {};
    return tasks.ResultPath();
}

void CMainDlg::ComposeTasks(const QStringList& taskPaths) {
    if (taskPaths.isEmpty())
        return;
    CLogindShutdownService system;
    CProgressDlg progress(messages_, shutdown_ ? *shutdown_ : system, this);
    progress.SetEnvironment(MakeComposeEnvironment());
    progress.SetTaskPaths(taskPaths);
    progress.Run(-1, nullptr);
}

ComposeEnvironment CMainDlg::MakeComposeEnvironment() {
    ComposeEnvironment env;
    env.canvasSize = [this] { return canvas_.clientSize(); };
    env.openFile = [this](const QString& path) {
        if (openFile_)
            openFile_(path);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return env;
}

QString CMainDlg::ChooseTaskFileWithDialog() {
    return QFileDialog::getOpenFileName(this, QStringLiteral("打开客人任务"), TaskStoreFolder(),
                                        QStringLiteral("任务文件 (*.tx)"));
}

void CMainDlg::ChooseCustomer(const QString& taskPath) {
    if (!QFileInfo(taskPath).isFile())
        return;
    OpenTask(taskPath);
    canvas_.ClearSlots();
    selectedPage_ = -1;

    const QFileInfo info(taskPath);
    customerName_ = info.absoluteDir().dirName();
    customerDisplayName_ = CustomerDisplayName(customerName_);
    {
        const QSignalBlocker block(orderList_);
        orderList_->clear();
        orderLines_.clear();
        orderLines_.append(OrderLine{}); // the header entry's place
        orderList_->AddEntry(OrderHeaderEntry(customerDisplayName_, ReadTaskPhone(taskPath)));
        for (const OrderLine& line : ReadOrderLines(OrderLinesPathForTask(taskPath))) {
            orderList_->AddEntry(OrderProductEntry(line));
            orderLines_.append(line);
        }
    }

    const QString storePath = TaskFilePath(CustomerFolder(customerName_));
    if (QFileInfo(storePath).isFile()) {
        OpenTask(storePath);
        canvas_.ClearSlots();
    } else {
        task_.SetPath({});
        task_.Clear();
        canvas_.ClearSlots();
        finishedPages_.clear();
        finishedList_->clear();
    }
}

void CMainDlg::OpenTask(const QString& taskPath) {
    task_.Load(taskPath);
    // Both stations may go on working: their saves are merged under the
    // customer's lock. The operator is only told who else is on it.
    const QString folder = task_.Folder();
    if (folder != presenceFolder_) {
        presenceFolder_ = folder;
        const QStringList others = presence_.Enter(folder);
        if (!others.isEmpty())
            messages_.Inform(QStringLiteral("此客人也在 %1 上打开, 双方保存的成品都会保留。")
                                 .arg(others.join(QStringLiteral("、"))));
    }
    RefillFinishedList();
    RefreshPhotoUsage();
}

void CMainDlg::SelectProduct(int row) {
    if (row <= 0 || row >= orderLines_.size())
        return;
    const OrderLine& line = orderLines_.at(row);
    const std::optional<QSize> size = ProductPageSize(line, CurrentDpi());
    if (!size)
        return;
    outputPart_ = OutputSizePart(line.width, line.height);
    const QSize templateSize = canvas_.templateSize();
    sizeLabel_->setText(templateSize.width() != 0 ? TemplateSizePart(templateSize) + outputPart_
                                                  : outputPart_);
    pageSize_ = *size;
    canvas_.SetPageSize(*size);
    canvas_.SetProductSize(*size);
    canvas_.ReapplyForProduct();
}

void CMainDlg::RefreshSizeLabel(bool saveTask) {
    sizeLabel_->setText(TemplateSizePart(canvas_.templateSize()) + outputPart_);
    // Written back as it now is on disk, never as this window last read it.
    if (saveTask && !task_.Path().isEmpty())
        UpdateCustomerTask(task_, [](CustomerTask&) { return true; });
}

void CMainDlg::OpenTaskFileCommand() {
    if (canvas_.HasTemplate()) {
        if (!task_.Path().isEmpty())
            SaveComposition(false);
        else if (messages_.AskYesNo(QStringLiteral("是否保存当前套版?")))
            SaveComposition(false);
    }
    const QString path = chooseTaskFile_ ? chooseTaskFile_() : ChooseTaskFileWithDialog();
    if (path.isEmpty())
        return;
    OpenTask(path);
    selectedPage_ = -1;
    finishedList_->clearSelection();
    canvas_.ClearSlots();
    RefreshSizeLabel(false);
}

SmartSelectionContext CMainDlg::MakeSmartContext() {
    return SmartSelectionContext{library_,
                                 canvas_,
                                 customerPhotos_,
                                 usedPhotos_,
                                 sizeLabel_->text(),
                                 messages_,
                                 random_,
                                 [this](const QString& folder) { OpenTemplateSet(folder); }};
}

void CMainDlg::ShowSmartSelectDialog() {
    CSmartSelectDlg dialog(smartCommands_, this);
    dialog.exec();
}

void CMainDlg::ShowTemplateManager() {
    if (!downloadDialog_) {
        downloadDialog_ = new CTemplateDownloadDlg(messages_, this);
        connect(downloadDialog_, &CTemplateDownloadDlg::LibraryChanged, this,
                [this] { libraryStale_ = true; });
    }
    downloadDialog_->show();
    downloadDialog_->raise();
    downloadDialog_->activateWindow();
}

void CMainDlg::ShowDpiDialog() {
    CDpiDlg dialog(this);
    dialog.exec();
    canvas_.SetKeepFaces(KeepFacesSetting());
    photoList_->SetScanFaces(canvas_.keepFaces());
    // Slots are judged at the page's print resolution.
    canvasView_->SetPrintSettings(CurrentDpi(), CurrentResolutionThreshold());
}

void CMainDlg::StartTemplateTestRun() {
    messages_.Inform(QStringLiteral("测模板"));
    testStepTimer_.start(testPacing_.firstMs);
}

void CMainDlg::OnTemplateTestStep() {
    if (library_.templates().isEmpty()) {
        messages_.Inform(QStringLiteral("完成"));
        return;
    }
    canvas_.LoadTemplateFile(library_.templates().first(), true);
    library_.DropFirstTemplate();
    testSaveTimer_.start(testPacing_.betweenMs);
}

void CMainDlg::OnTemplateTestSave() {
    SaveComposition(true);
    testStepTimer_.start(testPacing_.betweenMs);
}
