#pragma once

// The composition canvas: the page in progress with its 20 photo slots, the
// template's layers and the back buffer the page is composed into. It draws
// no window itself; a view shows backBuffer() at displayOrigin() and hands
// it points in display coordinates (client point minus displayOrigin()).

#include "compose/slot_placement.h"
#include "compose/template_body.h"
#include "raster/rect.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class ScreenCopyLoader;

// The "处理中, 请稍候 ..." popup shown while a template or a saved page is
// read. The window supplies it; without one nothing is shown.
class IBusyIndicator {
public:
    virtual ~IBusyIndicator() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

class CComposeCanvas {
public:
    static constexpr int kSlots = kSlotCount;
    // The display size before the first template is applied.
    static constexpr int kInitialDisplayWidth = 640;
    static constexpr int kInitialDisplayHeight = 480;
    // The ground around the page, shared by the program's windows.
    static constexpr QRgb kGroundColor = 0xFFE6F3FB; // RGB (230, 243, 251)

    CComposeCanvas();

    // --- what the window supplies ---------------------------------------
    // The canvas window's client size (CW x CH); template rectangles are
    // thousandths of it. Takes effect at the next layout.
    void SetClientSize(QSize size);
    QSize clientSize() const { return clientSize_; }
    // The window changed size with the page in hand: the page is laid out
    // anew and every slot keeps its edits, its rectangle scaled from the old
    // display to the new one; the edit history stays valid. Without a
    // template it is SetClientSize.
    void ResizeClient(QSize size);
    void SetBusyIndicator(IBusyIndicator* busy) { busy_ = busy; }
    // Slots shown larger than their working copies are drawn from copies of
    // their photos at the screen's resolution, made off this thread (its
    // event loop hands them over) and drawn when ready. Off by default: a
    // canvas without a window to look at needs no more than the working copy.
    void EnableScreenCopies(bool enable);
    // Waits for the screen copies on their way and draws them.
    void FinishScreenCopies();
    // Called after every recomposition with the area to repaint in display
    // coordinates, or nullopt for the whole client area.
    void SetInvalidateHandler(std::function<void(std::optional<Rect>)> handler) {
        onInvalidate_ = std::move(handler);
    }
    // Called when applying a template made its size the page size, so the
    // window rebuilds its size label.
    void SetRelabelHandler(std::function<void()> handler) { onRelabel_ = std::move(handler); }

    // --- main-window values the canvas sets and the window reads ----------
    QSize templateSize() const { return templateSize_; } // 0.01 cm; 0 x 0 without template
    QSize pageSize() const { return pageSize_; }
    void SetPageSize(QSize size) { pageSize_ = size; }
    // Pixels of the output page; only its proportions are used here. (-1, -1)
    // when no product is chosen.
    QSize productSize() const { return productSize_; }
    void SetProductSize(QSize size) { productSize_ = size; }
    bool templateChanged() const { return templateChanged_; }
    void ClearTemplateChanged() { templateChanged_ = false; }
    bool modified() const { return modified_; }
    void ClearModified() { modified_ = false; }

    // --- slot state --------------------------------------------------------
    int currentSlot() const { return currentSlot_; }
    void SetCurrentSlot(int slot);
    int slotCount() const { return static_cast<int>(templateRects_.size()); }
    const QList<TemplateRect>& templateRects() const { return templateRects_; }
    const SlotPlacement& placement(int slot) const { return placements_.at(slot); }
    SlotPlacement& placement(int slot) { return placements_.at(slot); }
    const std::array<SlotPlacement, kSlots>& placements() const { return placements_; }
    // A saved page's records are copied in before LoadLayoutRecord.
    void SetPlacements(const std::array<SlotPlacement, kSlots>& placements) {
        placements_ = placements;
    }
    const QByteArray& photoBytes(int slot) const { return slots_.at(slot).photoBytes; }
    const QImage& workingCopy(int slot) const { return slots_.at(slot).workingCopy; }
    const QImage& slotImage(int slot) const { return slots_.at(slot).slotImage; }
    // What the slot is drawn from: the same crop as slotImage, from the
    // screen copy when the slot has one, else slotImage itself.
    const QImage& drawnSlotImage(int slot) const;
    bool HasSlotImage(int slot) const;
    // The slot's photo at its own full resolution, upright as shown: the
    // pixels a printed page can take from it. Empty without a usable photo.
    QSize photoSize(int slot) const { return slots_.at(slot).photoSize; }
    QByteArray maskFor(int slot) const;

    // --- template layers and display --------------------------------------
    bool HasTemplate() const { return !backBuffer_.isNull(); }
    const QImage& backBuffer() const { return backBuffer_; }
    const QImage& previewImage() const { return preview_; }
    const QImage& overlayImage() const { return overlay_; }
    const QImage& backgroundImage() const { return background_; }
    // The background's own size: the picture may be held reduced to the
    // product's page, and the page keeps the proportions of the whole.
    QSize backgroundSize() const { return backgroundSize_; }
    Rect displayArea() const { return displayArea_; }
    // Where display coordinates start in the client area: the display area's
    // top-left corner with a template; without one the single photo's slot
    // is itself in client coordinates.
    QPoint displayOrigin() const;
    QSize displaySize() const { return displaySize_; }
    float scaleX() const { return scaleX_; }
    float scaleY() const { return scaleY_; }
    const QByteArray& body() const { return body_; }
    const QString& bodyPath() const { return bodyPath_; }

    // --- slot fitting ------------------------------------------------------
    void MapTemplateSlots();
    // Puts the photo file into a slot (-1: the current slot). Returns false
    // when the file could not be read and nothing changed. With reset and
    // face keeping on, the crop is moved to keep the photo's faces in view
    // (FaceKeepingOffsets); the faces come from the working copy cache, or
    // are looked for now.
    bool PutPhoto(const QString& path, bool reset, int slot = -1);
    // Whether photos put into slots keep their faces in view; a new canvas
    // follows the operator's setting (KeepFacesSetting).
    void SetKeepFaces(bool keep) { keepFaces_ = keep; }
    bool keepFaces() const { return keepFaces_; }
    void LoadSlotPhoto(const QByteArray& bytes, bool reset, int slot);
    void RefitSlot(int slot);
    void ReloadSlotPhotos();
    void RemovePhoto();
    void ResetSlot();
    void ClearSlots();

    // --- editing ------------------------------------------------------------
    // Every edit works on the current slot and does nothing without one.
    // locked: the portrait position is locked, so moves and size changes act
    // on the photo inside its slot (offsets, zoom); otherwise on the slot
    // rectangle itself. Each edit recomposes the page and reports only the
    // area it touched. Points are display coordinates, like slot rectangles.

    // Left-button press: the topmost slot under the point (highest index)
    // becomes current, and the press arms a drag. A changed selection shows
    // at once through the press marks below, without recomposing the page.
    void SelectAt(QPoint point);
    // Left-button release: a move of 3 pixels or more in either direction
    // from the press is a drag of the photo (locked) or of the slot;
    // anything less is a click and leaves the press armed.
    void DragTo(QPoint point, bool locked);
    // Selects slot n (the digit keys) as a click at its centre would; nothing
    // for a slot the template does not have.
    void ClickSlot(int slot);
    void NudgeLeft(bool locked);
    void NudgeRight(bool locked);
    void NudgeUp(bool locked);
    void NudgeDown(bool locked);
    // Locked: one zoom step. Otherwise the slot grows or shrinks by 10 %
    // (coarse) or 2 % per side, its height following the photo's proportions.
    void Enlarge(bool coarse, bool locked);
    void Shrink(bool coarse, bool locked);
    // Adds step degrees to the slot's angle, kept within -360 .. 360.
    void Rotate(int step);
    void MirrorX();
    void MirrorY();

    std::optional<QPoint> pressPoint() const { return pressPoint_; }
    // True from a press that changed the selection until the page is next
    // composed: the back buffer still carries the old mark colours, so the
    // view paints the marks of every slot over it (PaintClient does).
    bool pressMarksShown() const { return pressMarks_; }
    // The number marks of all slots, red for the current one, at the display
    // area's place in the client area.
    void PaintPressMarks(QPainter& painter) const;

    // --- edit history --------------------------------------------------------
    // Everything an edit of the page in hand can change: placements, slot
    // photos and images, the selection, the template's layers (taking out the
    // last photo brings back the sample; a Delete on an empty page removes
    // the template). Images and bytes are shared, so a state is cheap to keep.
    class EditState {
    public:
        // Same page content; the selection alone does not count.
        bool SamePage(const EditState& other) const;

    private:
        friend class CComposeCanvas;
        std::array<SlotPlacement, kSlotCount> placements{};
        std::array<QByteArray, kSlotCount> photoBytes;
        std::array<QImage, kSlotCount> workingCopies, slotImages;
        std::array<QSize, kSlotCount> photoSizes;
        std::array<quint64, kSlotCount> fingerprints{};
        int currentSlot = 0;
        int composedSlot = 0;
        QSize displaySize; // the slot rectangles are pixels of this display
        bool hasTemplate = false;
        QImage preview, overlay, background;
        QSize backgroundSize;
        QList<TemplateRect> templateRects;
        QList<QByteArray> masks;
        QByteArray body;
    };
    EditState CaptureEditState() const;
    // Puts the state back and composes the whole page from it, so the back
    // buffer is the one the state was shown with.
    void RestoreEditState(const EditState& state);
    // Changes whenever another template or page is loaded, the slots are
    // cleared or the client size changes: states kept from before then no
    // longer fit the canvas.
    int layoutGeneration() const { return layoutGeneration_; }

    // --- drawing -----------------------------------------------------------
    void LayoutDisplay();
    void RenderComposite(std::optional<Rect> area = std::nullopt);
    // Paints the client area (CW x CH) as the window shows it: the back
    // buffer 1:1 at the display area, or without template the current slot's
    // photo letterboxed into its slot (which then becomes the display area).
    void PaintClient(QPainter& painter);
    // The rectangle widened to hold the current slot's rotated corners.
    Rect SlotBounds(const Rect& rect) const;
    // The page without number marks as JPEG (the current slot's photo as PNG
    // without template). False when nothing was written.
    bool SaveComposite(const QString& path);

    // --- template body and layout record -----------------------------------
    // False when the file could not be read or is no template body; the
    // canvas then keeps all it had.
    bool LoadTemplateFile(const QString& path, bool rebuild);
    // False when the body was refused (wrong marker or cut short); the
    // canvas then keeps all it had.
    bool ApplyTemplateBody(const QByteArray& bytes, bool rebuild, bool relabel);
    // Writes "dat" and the canvas size into "<task folder>/data<page name>/".
    bool WriteLayoutRecord(const QString& taskFilePath, const QString& pageName) const;
    // Reopens a saved page whose slot records were copied in before.
    bool LoadLayoutRecord(const QString& taskFilePath, const QString& pageName, int pageWidth,
                          int pageHeight);
    void ReapplyForProduct();

    // The folder of a page's layout record.
    static QString PageDataFolder(const QString& taskFilePath, const QString& pageName);

private:
    struct SlotContent {
        QByteArray photoBytes;   // the photo file as read from disk
        QImage workingCopy;      // longer side 400 pixels
        QByteArray copyOf;       // the photo bytes workingCopy was made from
        QImage slotImage;        // the crop that is drawn, mirrors and mask applied
        QSize photoSize;         // the photo's own size, upright
        quint64 fingerprint = 0; // of photoBytes, once screen copies are made
        QImage screenCopy;       // the photo at the screen's resolution
        QImage screenImage;      // slotImage's crop cut from screenCopy
    };
    // A copied canvas starts without screen copies: the loader hands its
    // copies to the canvas that made it.
    struct ScreenCopies {
        ScreenCopies() = default;
        ScreenCopies(const ScreenCopies&) {}
        ScreenCopies& operator=(const ScreenCopies&) { return *this; }
        std::shared_ptr<ScreenCopyLoader> loader;
    };

    class BusyScope {
    public:
        explicit BusyScope(IBusyIndicator* busy);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        IBusyIndicator* busy_;
    };

    void ApplyParsedBody(const QByteArray& bytes, const TemplateBody& parsed, bool rebuild,
                         bool relabel);
    int ResolveSlot(int slot) const;
    bool AnySlotImageBelowCount() const;
    Rect MappedTemplateRect(const TemplateRect& t) const;
    void SetSlotRect(int slot, const Rect& r);
    void ReleaseSlot(int slot, bool withBytes);
    void DrawSlot(QPainter& painter, int slot) const;
    // Mirrors and masks a crop of the slot's photo as the slot shows it.
    void FinishSlotImage(QImage& image, int slot) const;
    void RefitScreenImage(int slot);
    void TakeScreenCopy(quint64 fingerprint, const QImage& copy);
    void DrawNumberMark(QPainter& painter, int slot) const;
    QRect NumberMarkCell(int slot) const;
    bool HasCurrentSlot() const { return currentSlot_ >= 0 && currentSlot_ < kSlots; }
    Rect CurrentRect() const;
    void SetCurrentRect(const Rect& r);
    Rect EditArea(const Rect& rect) const;
    void ShowPressMarks();
    void Shift(int dx, int dy, bool locked);
    void Resize(bool enlarge, bool coarse);
    void ToggleMirror(bool leftRight);
    // faces: where the photo's faces are (its own pixels), for a reset fit
    // that keeps them in view.
    void FitSlotPhoto(const QByteArray& bytes, bool reset, int slot,
                      const QList<QRect>* faces = nullptr);
    void Invalidate(std::optional<Rect> area) const;
    void RemoveTemplate();
    // Brings the slot rectangles of a page saved on a canvas of another
    // client size to this canvas's display.
    void RescaleSavedPlacements(QSize savedClient);
    void RefitAllSlots();

    QSize clientSize_{1000, 750};
    IBusyIndicator* busy_ = nullptr;
    std::function<void(std::optional<Rect>)> onInvalidate_;
    std::function<void()> onRelabel_;

    QSize templateSize_{0, 0};
    QSize pageSize_{0, 0};
    QSize productSize_{-1, -1};
    QSize lastAppliedProductSize_{-1, -1};
    bool templateChanged_ = false;
    bool modified_ = false;

    int currentSlot_ = 0;
    std::array<SlotPlacement, kSlots> placements_;
    std::array<SlotContent, kSlots> slots_;
    QList<TemplateRect> templateRects_;
    QList<QByteArray> masks_; // by slot position, empty = no mask

    QByteArray body_;
    QString bodyPath_;
    QImage preview_, overlay_, background_;
    QSize backgroundSize_; // background_'s own size, before any reduction
    QImage dat2_;          // drawn over the next overlay, then released

    QImage backBuffer_; // RGB, displaySize_; null until the first template
    Rect displayArea_{0, 0, kInitialDisplayWidth, kInitialDisplayHeight};
    QSize displaySize_{kInitialDisplayWidth, kInitialDisplayHeight};
    float scaleX_ = 1.0f, scaleY_ = 1.0f;

    QImage currentStrip_, otherStrip_; // red and green digit cells
    bool keepFaces_ = true;
    bool marksHidden_ = false;

    std::optional<QPoint> pressPoint_; // armed by a press, used by its release
    bool pressMarks_ = false;
    // The current slot when the page was last composed: the back buffer
    // carries its number mark in red.
    int composedSlot_ = 0;
    int layoutGeneration_ = 0;
    // The slot rectangles as they were before a run of resizes, and the
    // display they belong to: a window dragged larger and smaller again is
    // scaled from these each time, so truncation never adds up.
    struct ResizeAnchor {
        std::array<SlotPlacement, kSlots> placements;
        QSize display;
        std::array<SlotPlacement, kSlots> shown; // what the last resize made
        int generation = 0;
    };
    std::optional<ResizeAnchor> resizeAnchor_;
    ScreenCopies screenCopies_;
};
