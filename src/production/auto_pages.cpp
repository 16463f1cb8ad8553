#include "production/auto_pages.h"

#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/smart_selection.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"
#include "records/photo_usage.h"
#include "templates/template_library.h"

#include <QSet>
#include <memory>

namespace {

// Draws after the first when the template drawn is already in the album.
constexpr int kRedraws = 5;

// Which photos count as used for the next page. The photos go on pages in
// rounds: a photo is used once its count of uses has grown past the count it
// had when the current round began. The first round begins at no uses at
// all, so photos of the customer's existing pages count as used from the
// start; a new round begins when every photo has been used in this one.
class PhotoRounds {
public:
    explicit PhotoRounds(const QStringList& photos)
        : photos_(photos), roundStart_(photos.size(), 0) {}

    void Recount(const CustomerTask& task) { counts_ = CountPhotoUsage(task, photos_).counts; }

    QStringList Used() const {
        QStringList used;
        for (qsizetype i = 0; i < photos_.size(); ++i)
            if (counts_.value(i) > roundStart_.value(i))
                used.append(photos_.at(i));
        return used;
    }
    void StartNewRound() { roundStart_ = counts_; }

private:
    const QStringList& photos_;
    QList<int> counts_;
    QList<int> roundStart_;
};

} // namespace

int MissingProductPages(const CustomerTask& task, const OrderLine& product) {
    // A product without an album page count still needs its one page.
    const int ordered = std::max(1, TextToInt(product.pages));
    int designed = 0;
    for (const auto& page : task.pages)
        designed += PageOfProduct(page->Name(), product.name) ? 1 : 0;
    return std::max(0, ordered - designed);
}

AutoPagesResult MakeAutoPages(const AutoPagesRequest& request, TemplateLibrary& library,
                              CustomerTask& task, IMessages& messages, IRandomSource& random) {
    AutoPagesResult result;
    if (!request.save.product)
        return result;
    const OrderLine& product = *request.save.product;
    const int dpi = CurrentDpi();
    const QSize productPixels(CmToPixels(product.width, dpi), CmToPixels(product.height, dpi));
    // The size label as the main window shows it once the product is chosen.
    const QString sizeLabel = QStringLiteral("   输出 %1,%2cm").arg(product.width, product.height);

    SmartSelection selection;
    PhotoRounds rounds(request.photos);
    QSet<QString> templatesUsed;
    for (int made = 0; made < request.pages; ++made) {
        if (request.proceed && !request.proceed(made)) {
            result.cancelled = true;
            return result;
        }
        rounds.Recount(task);
        QStringList used = rounds.Used();
        if (used.size() == request.photos.size()) {
            rounds.StartNewRound();
            used.clear();
        }
        // A page takes no more photos than are left in the round, so no
        // photo comes twice on a page or twice in a round.
        SlotCountFilter slotCounts = request.slotCounts;
        slotCounts.maximum = static_cast<int>(request.photos.size() - used.size());

        // A template the album already has is drawn again, as the operator
        // would press the button again; a few times, then it is kept.
        std::unique_ptr<CComposeCanvas> canvas;
        QString page;
        for (int draw = 0; draw <= kRedraws; ++draw) {
            auto candidate = std::make_unique<CComposeCanvas>();
            candidate->SetClientSize(request.canvasSize);
            candidate->SetProductSize(productPixels);
            // Only the first draw speaks: a redraw that finds nothing keeps
            // the page drawn before.
            RecordingMessages quiet;
            const SmartSelectionContext drawContext{
                library, *candidate, request.photos, used, sizeLabel, draw == 0 ? messages : quiet,
                random,  {}};
            const QString drawn =
                selection.RandomTemplateFromAll(drawContext, request.shape, slotCounts);
            if (drawn.isEmpty())
                break;
            canvas = std::move(candidate);
            page = drawn;
            if (!templatesUsed.contains(page))
                break;
        }
        if (page.isEmpty())
            return result;
        templatesUsed.insert(page);
        const SmartSelectionContext context{library,   *canvas,  request.photos, used,
                                            sizeLabel, messages, random,         {}};

        // More slots than photos left in the round (a page whose index entry
        // misstates its slots): the photos go round again rather than
        // leaving slots empty.
        if (canvas->slotCount() > request.photos.size() - used.size()) {
            rounds.StartNewRound();
            used.clear();
        }
        selection.RandomUnusedPhotos(context);

        SavePageRequest save = request.save;
        save.selectedPage = -1;
        const SavePageResult saved = SaveCanvasAsPage(save, *canvas, task, messages);
        if (!saved.saved || !saved.newPage)
            return result;
        AutoPage pageMade;
        pageMade.name = saved.pageName;
        pageMade.templatePath = page;
        for (int slot = 0; slot < canvas->slotCount(); ++slot)
            pageMade.photos.append(canvas->placement(slot).PhotoName());
        result.pages.append(pageMade);
    }
    result.complete = true;
    return result;
}
