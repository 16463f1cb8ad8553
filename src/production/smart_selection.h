#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <random>

class CComposeCanvas;
class IMessages;
class TemplateLibrary;

// Smart selection fills the canvas without browsing: a random template page
// from the library, optionally only one whose shape, size and photo count
// suit the product, and random customer photos in its slots, optionally only
// photos no finished page uses yet. The main window's buttons, the dialog
// "智能筛选" and taoban-cli auto-pages all go through SmartSelection.

// Where the draws come from. Every draw is reduced to a list position by the
// remainder of a division by the list's length.
class IRandomSource {
public:
    virtual ~IRandomSource() = default;
    // Restarts the sequence from the current time (whole seconds).
    virtual void SeedWithTime() = 0;
    // The next number of the sequence, never negative.
    virtual int Next() = 0;
};

// A seeded Mersenne twister: the same seed gives the same draws on every
// machine. The clock (seconds) is what SeedWithTime reads; by default the
// system's.
class SeededRandom final : public IRandomSource {
public:
    using Clock = std::function<std::int64_t()>;
    explicit SeededRandom(Clock clock = {});
    void Seed(std::uint32_t seed) { engine_.seed(seed); }
    void SeedWithTime() override;
    int Next() override;

private:
    Clock clock_;
    std::mt19937 engine_;
};

// The product's shape tests of a filtered draw: the page's proportion within
// a tenth of the product's, and the page at least nine tenths of the
// product's width and height.
struct ShapeFilter {
    bool matchRatio = false;
    bool matchSize = false;
    bool Any() const { return matchRatio || matchSize; }
};

// The photo-count test of a draw from all pages: one flag each for pages of
// 1 to 5 slots and one for more than five. maximum, when above 0, also
// refuses counts above it. A page whose count is 0 or not a number always
// passes.
struct SlotCountFilter {
    std::array<bool, 6> allowed{true, true, true, true, true, true};
    int maximum = 0;
    bool Passes(int slotCount) const;
};

// W and H of the product from the size label's "输出" part ("   输出 30,40cm"):
// the text after "输出" without leading blanks and without "cm", split at the
// first ",". Both empty when the text has no "输出".
struct OutputSize {
    QString width;
    QString height;
    bool Known() const { return !width.isEmpty() && !height.isEmpty(); }
};
OutputSize ReadOutputSize(const QString& sizeLabelText);

// The set index key of a template page: its path inside the library folder
// with backslashes, as "list2.txt" writes it.
QString TemplateLookupKey(const QString& libraryRoot, const QString& pagePath);

// Whether a page of proportion f (height / width), width w and height h (all
// as "list2.txt" gives them, centimetres) suits a product of W x H. Numbers
// are read as the C runtime reads them; anything unreadable counts as 0.
bool PassesShapeFilter(const QString& f, const QString& w, const QString& h,
                       const OutputSize& product, ShapeFilter filter);

// What the operations read and act on, all owned by the caller.
struct SmartSelectionContext {
    TemplateLibrary& library;
    CComposeCanvas& canvas;
    const QStringList& customerPhotos; // in the order shown
    const QStringList& usedPhotos;     // photos some finished page of the customer holds
    QString sizeLabel;                 // its "输出" part names the product's size
    IMessages& messages;
    IRandomSource& random;
    // Shows a set's pages in the template area; without it the set is only
    // opened in the library.
    std::function<void(const QString& folder)> openSet;
};

// The five operations and the one thing they remember: the set drawn last.
class SmartSelection {
public:
    // A page of a random set (its "1.temp") into the canvas, among all sets
    // or, with a filter on, among those whose index entry suits the product.
    // Returns the page loaded, empty when none was.
    QString RandomTemplateBySet(const SmartSelectionContext& context, ShapeFilter shape = {});
    // A random page of the whole library with an index entry that passes
    // the filters. Returns the page loaded, empty when none was.
    QString RandomTemplateFromAll(const SmartSelectionContext& context, ShapeFilter shape,
                                  const SlotCountFilter& slotCounts);
    // Opens the folder of the set drawn last; false when none was drawn.
    bool OpenDrawnSet(const SmartSelectionContext& context);
    // Every slot of the canvas's template gets a random customer photo.
    // Both photo draws then hand the drawn photos to the slots whose shapes
    // fit them (MatchPhotosToSlots).
    void RandomPhotos(const SmartSelectionContext& context);
    // The slots get customer photos that no finished page uses, walking the
    // photo list from a random start.
    void RandomUnusedPhotos(const SmartSelectionContext& context);

    // Index into the library's set list of the last set draw, accepted or
    // not; -1 before the first.
    int lastDrawnSet() const { return lastDrawnSet_; }

private:
    QString LoadPage(const SmartSelectionContext& context, const QString& page);
    QString DrawAnySet(const SmartSelectionContext& context, const QString& tooFewMessage);

    int lastDrawnSet_ = -1;
};

// The commands of the dialog "智能筛选", so that it needs no main window.
class ISmartSelectCommands {
public:
    virtual ~ISmartSelectCommands() = default;
    virtual void RandomTemplateBySet(ShapeFilter shape) = 0;
    virtual void RandomTemplateFromAll(ShapeFilter shape, const SlotCountFilter& slotCounts) = 0;
    virtual void OpenDrawnSet() = 0;
    virtual void RandomPhotos() = 0;
    virtual void RandomUnusedPhotos() = 0;
    // The chosen product's missing pages, templates drawn through the
    // filters (MakeAutoPages).
    virtual void MakeDraft(ShapeFilter shape, const SlotCountFilter& slotCounts) = 0;
};

// The commands run on a SmartSelection with the context the owner builds at
// each command (so each one sees the current photos, label and canvas).
class SmartSelectCommands final : public ISmartSelectCommands {
public:
    SmartSelectCommands(SmartSelection& selection,
                        std::function<SmartSelectionContext()> makeContext)
        : selection_(selection), makeContext_(std::move(makeContext)) {}
    void RandomTemplateBySet(ShapeFilter shape) override;
    void RandomTemplateFromAll(ShapeFilter shape, const SlotCountFilter& slotCounts) override;
    void OpenDrawnSet() override;
    void RandomPhotos() override;
    void RandomUnusedPhotos() override;
    void MakeDraft(ShapeFilter shape, const SlotCountFilter& slotCounts) override;
    // Who makes a draft: the owner, which knows the customer and product.
    using DraftHandler = std::function<void(ShapeFilter, const SlotCountFilter&)>;
    void SetDraftHandler(DraftHandler handler) { makeDraft_ = std::move(handler); }

private:
    SmartSelection& selection_;
    std::function<SmartSelectionContext()> makeContext_;
    DraftHandler makeDraft_;
};

// The messages of smart selection.
namespace SmartSelectionText {
inline const char* const kTooFewSets = "模板太少，请在模板管理中下载。";
inline const char* const kTooFewIndexed = "模板太少，请先在模板管理中下载更多模板。";
inline const char* const kNoMatch =
    "模板太少，未找到符合条件的模板，请先在模板管理中下载更多模板。";
inline const char* const kNoUnusedPhoto = "找不到未使用的照片!";
} // namespace SmartSelectionText
