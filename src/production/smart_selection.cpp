#include "production/smart_selection.h"

#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/orientation_match.h"
#include "records/number_text.h"
#include "templates/template_library.h"

#include <QSet>
#include <ctime>

namespace {

// Draws per filtered template draw before the library counts as too small.
constexpr int kAttempts = 200;
// Below this many set index entries a filter has too little to choose from.
constexpr int kMinIndexedSets = 100;

int Draw(IRandomSource& random, qsizetype count) {
    return static_cast<int>(random.Next() % count);
}

} // namespace

SeededRandom::SeededRandom(Clock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
    // Seeded once at the start as well, so that photos drawn before the
    // first template draw differ from one session to the next.
    SeedWithTime();
}

void SeededRandom::SeedWithTime() {
    engine_.seed(static_cast<std::uint32_t>(clock_()));
}

int SeededRandom::Next() {
    return static_cast<int>(engine_() >> 1);
}

bool SlotCountFilter::Passes(int slotCount) const {
    if (slotCount <= 0)
        return true;
    if (maximum > 0 && slotCount > maximum)
        return false;
    return slotCount <= 5 ? allowed[slotCount - 1] : allowed[5];
}

OutputSize ReadOutputSize(const QString& sizeLabelText) {
    OutputSize size;
    const QString marker = QStringLiteral("输出");
    const qsizetype at = sizeLabelText.indexOf(marker);
    if (at < 0)
        return size;
    QString rest = sizeLabelText.mid(at + marker.size());
    qsizetype start = 0;
    while (start < rest.size() && rest.at(start).isSpace())
        ++start;
    rest = rest.mid(start);
    rest.remove(QStringLiteral("cm"));
    const qsizetype comma = rest.indexOf(QLatin1Char(','));
    size.width = comma < 0 ? rest : rest.left(comma);
    size.height = comma < 0 ? QString() : rest.mid(comma + 1);
    return size;
}

QString TemplateLookupKey(const QString& libraryRoot, const QString& pagePath) {
    const QString prefix = libraryRoot + QLatin1Char('/');
    QString key = pagePath.startsWith(prefix) ? pagePath.mid(prefix.size()) : pagePath;
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return key;
}

bool PassesShapeFilter(const QString& f, const QString& w, const QString& h,
                       const OutputSize& product, ShapeFilter filter) {
    const double width = TextToDouble(product.width);
    const double height = TextToDouble(product.height);
    if (filter.matchRatio) {
        // Written so that a product of zero width or height (nothing
        // readable) fails instead of passing on a NaN.
        const double ratio = TextToDouble(f) / (height / width);
        if (!(ratio >= 0.9 && ratio <= 1.1))
            return false;
    }
    if (filter.matchSize) {
        if (!(TextToDouble(w) >= 0.9 * width && TextToDouble(h) >= 0.9 * height))
            return false;
    }
    return true;
}

QString SmartSelection::LoadPage(const SmartSelectionContext& context, const QString& page) {
    return context.canvas.LoadTemplateFile(page, true) ? page : QString();
}

QString SmartSelection::DrawAnySet(const SmartSelectionContext& context,
                                   const QString& tooFewMessage) {
    const QStringList& sets = context.library.sets();
    context.random.SeedWithTime();
    lastDrawnSet_ = Draw(context.random, sets.size());
    const QString loaded = LoadPage(context, sets.at(lastDrawnSet_));
    // The page stays loaded; the notice only says the choice was poor.
    if (sets.size() < 2)
        context.messages.Inform(tooFewMessage);
    return loaded;
}

QString SmartSelection::RandomTemplateBySet(const SmartSelectionContext& context,
                                            ShapeFilter shape) {
    const TemplateLibrary& library = context.library;
    const QStringList& sets = library.sets();
    if (sets.isEmpty())
        return {};
    if (!shape.Any())
        return DrawAnySet(context, QString::fromUtf8(SmartSelectionText::kTooFewSets));
    const SetIndex& index = library.setIndex();
    if (index.size() < kMinIndexedSets) {
        context.messages.Inform(QString::fromUtf8(SmartSelectionText::kTooFewIndexed));
        return {};
    }
    const OutputSize product = ReadOutputSize(context.sizeLabel);
    // Without a chosen product there is nothing to match against.
    if (!product.Known())
        return DrawAnySet(context, QString::fromUtf8(SmartSelectionText::kTooFewIndexed));

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        lastDrawnSet_ = Draw(context.random, sets.size());
        const QString& page = sets.at(lastDrawnSet_);
        const int at = library.FindSetInfo(TemplateLookupKey(library.root(), page));
        // A set the index does not describe cannot be judged, so it is taken.
        if (at < 0 || index.proportions.at(at).isEmpty() ||
            PassesShapeFilter(index.proportions.at(at), index.widths.at(at), index.heights.at(at),
                              product, shape))
            return LoadPage(context, page);
    }
    context.messages.Inform(QString::fromUtf8(SmartSelectionText::kNoMatch));
    return {};
}

QString SmartSelection::RandomTemplateFromAll(const SmartSelectionContext& context,
                                              ShapeFilter shape,
                                              const SlotCountFilter& slotCounts) {
    const TemplateLibrary& library = context.library;
    const QStringList& pages = library.templates();
    if (pages.isEmpty())
        return {};
    const SetIndex& index = library.setIndex();
    if (index.size() < kMinIndexedSets) {
        context.messages.Inform(QString::fromUtf8(SmartSelectionText::kTooFewIndexed));
        return {};
    }
    const OutputSize product = ReadOutputSize(context.sizeLabel);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QString& page = pages.at(Draw(context.random, pages.size()));
        const int at = library.FindSetInfo(TemplateLookupKey(library.root(), page));
        // Here only pages the index describes can be judged and taken.
        if (at < 0 || index.proportions.at(at).isEmpty())
            continue;
        if (product.Known() && !PassesShapeFilter(index.proportions.at(at), index.widths.at(at),
                                                  index.heights.at(at), product, shape))
            continue;
        if (!slotCounts.Passes(TextToInt(index.slotCounts.at(at))))
            continue;
        return LoadPage(context, page);
    }
    context.messages.Inform(QString::fromUtf8(SmartSelectionText::kNoMatch));
    return {};
}

bool SmartSelection::OpenDrawnSet(const SmartSelectionContext& context) {
    const QStringList& sets = context.library.sets();
    if (lastDrawnSet_ < 0 || lastDrawnSet_ >= sets.size())
        return false;
    const QString& first = sets.at(lastDrawnSet_);
    const QString folder = first.left(first.lastIndexOf(QLatin1Char('/')));
    if (context.openSet)
        context.openSet(folder);
    else
        context.library.OpenSet(folder);
    return true;
}

namespace {

// Puts the photos drawn for slots 0, 1, ... so that each goes to the slot
// whose shape fits it.
void PutMatched(CComposeCanvas& canvas, const QStringList& drawn) {
    QList<QSize> slotShapes, photoShapes;
    for (int slot = 0; slot < drawn.size(); ++slot) {
        slotShapes.append(SlotShape(canvas, slot));
        photoShapes.append(PhotoShape(drawn.at(slot)));
    }
    const QList<int> given = MatchPhotosToSlots(slotShapes, photoShapes);
    for (int slot = 0; slot < given.size(); ++slot) {
        canvas.SetCurrentSlot(slot);
        canvas.PutPhoto(drawn.at(given.at(slot)), true);
    }
}

} // namespace

void SmartSelection::RandomPhotos(const SmartSelectionContext& context) {
    const QStringList& photos = context.customerPhotos;
    CComposeCanvas& canvas = context.canvas;
    if (photos.isEmpty() || canvas.slotCount() == 0)
        return;
    QStringList drawn;
    for (int slot = 0; slot < canvas.slotCount(); ++slot)
        drawn.append(photos.at(Draw(context.random, photos.size())));
    PutMatched(canvas, drawn);
}

void SmartSelection::RandomUnusedPhotos(const SmartSelectionContext& context) {
    const QStringList& photos = context.customerPhotos;
    CComposeCanvas& canvas = context.canvas;
    if (photos.isEmpty())
        return;
    const QSet<QString> used(context.usedPhotos.begin(), context.usedPhotos.end());
    const int count = static_cast<int>(photos.size());
    int k = Draw(context.random, count);
    // One pass round the end of the list is allowed for the whole
    // operation; a second means no unused photo is left, and the slots
    // drawn for so far are filled.
    bool wrapped = false;
    bool exhausted = false;
    QStringList drawn;
    const int slotTotal = canvas.slotCount();
    for (int slot = 0; slot < slotTotal && !exhausted; ++slot) {
        if (k >= count)
            k = 0;
        while (used.contains(photos.at(k))) {
            if (++k < count)
                continue;
            if (wrapped) {
                exhausted = true;
                break;
            }
            wrapped = true;
            k = 0;
        }
        if (exhausted)
            break;
        drawn.append(photos.at(k));
        ++k;
    }
    PutMatched(canvas, drawn);
    if (exhausted) {
        // The slot that found no photo stays the current one.
        canvas.SetCurrentSlot(static_cast<int>(drawn.size()));
        context.messages.Inform(QString::fromUtf8(SmartSelectionText::kNoUnusedPhoto));
    }
}

void SmartSelectCommands::RandomTemplateBySet(ShapeFilter shape) {
    selection_.RandomTemplateBySet(makeContext_(), shape);
}

void SmartSelectCommands::RandomTemplateFromAll(ShapeFilter shape,
                                                const SlotCountFilter& slotCounts) {
    selection_.RandomTemplateFromAll(makeContext_(), shape, slotCounts);
}

void SmartSelectCommands::OpenDrawnSet() {
    selection_.OpenDrawnSet(makeContext_());
}

void SmartSelectCommands::RandomPhotos() {
    selection_.RandomPhotos(makeContext_());
}

void SmartSelectCommands::RandomUnusedPhotos() {
    selection_.RandomUnusedPhotos(makeContext_());
}

void SmartSelectCommands::MakeDraft(ShapeFilter shape, const SlotCountFilter& slotCounts) {
    if (makeDraft_)
        makeDraft_(shape, slotCounts);
}
