#include "variations.h"

#include "themes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRectF>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace {

// The themes in the order their sets are made, with the category each belongs
// to and the name its sets carry.
struct ThemeUse {
    const char* background;
    const char* category;
    const char* name;
};
const ThemeUse kThemes[] = {
    {"roses.jpg", "婚纱", "玫瑰"},    {"silk.jpg", "婚纱", "丝缎"},
    {"petals.jpg", "婚纱", "花瓣"},   {"stars.jpg", "儿童", "星空"},
    {"balloons.jpg", "儿童", "彩球"}, {"stripes.jpg", "写真", "条纹"},
    {"leaves.jpg", "写真", "绿叶"},   {"linen.jpg", "全家福", "亚麻"},
    {"wood.jpg", "全家福", "木纹"},
};
constexpr int kThemeCount = sizeof(kThemes) / sizeof(kThemes[0]);

// Slot counts of the first and second pages, taken round by theme and size.
// Small counts come often: they are what is left to draw from once most of a
// customer's photos are on pages.
const int kFirstPageSlots[kThemeCount] = {1, 2, 3, 1, 4, 2, 5, 6, 1};
const int kSecondPageSlots[kThemeCount] = {4, 8, 2, 6, 3, 5, 2, 4, 3};
const char* const kOverlays[] = {"mat.png", "frame.png", "lace.png", "vignette.png", ""};
constexpr int kOverlayCount = sizeof(kOverlays) / sizeof(kOverlays[0]);

// The grid spans the whole page: 1000 across, 750 down.
constexpr double kGridW = 1000;
constexpr double kGridH = 750;
constexpr double kGap = 22;

QString SizeName(const AlbumSize& size) {
    return QStringLiteral("%1x%2").arg(size.widthCm).arg(size.heightCm);
}

QString GroupOf(const AlbumSize& size) {
    if (size.widthCm == size.heightCm)
        return QStringLiteral("方册");
    return size.heightCm > size.widthCm ? QStringLiteral("竖册") : QStringLiteral("横册");
}

// How far a grid area's shape on the page is from square, whichever way.
double Squareness(const QRectF& area, const AlbumSize& page) {
    const double w = area.width() / kGridW * page.widthCm;
    const double h = area.height() / kGridH * page.heightCm;
    return std::abs(std::log(h / w));
}

bool LandscapeOnPage(const QRectF& area, const AlbumSize& page) {
    return area.width() / kGridW * page.widthCm >= area.height() / kGridH * page.heightCm;
}

QList<QRectF> Grid(const QRectF& area, int rows, int cols) {
    QList<QRectF> cells;
    const double w = (area.width() - kGap * (cols - 1)) / cols;
    const double h = (area.height() - kGap * (rows - 1)) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            cells.append(QRectF(area.left() + c * (w + kGap), area.top() + r * (h + kGap), w, h));
    return cells;
}

// n cells in the rows and columns that make them closest to square on the page.
QList<QRectF> BestGrid(const QRectF& area, int n, const AlbumSize& page) {
    int bestRows = 1;
    double best = std::numeric_limits<double>::max();
    for (int rows = 1; rows <= n; ++rows) {
        if (n % rows != 0)
            continue;
        const double score = Squareness(Grid(area, rows, n / rows).first(), page);
        if (score < best) {
            best = score;
            bestRows = rows;
        }
    }
    return Grid(area, bestRows, n / bestRows);
}

// One large slot and n - 1 small ones beside it (landscape) or below it.
QList<QRectF> HeroLayout(const QRectF& area, int n, const AlbumSize& page) {
    QRectF hero = area;
    QRectF strip = area;
    if (LandscapeOnPage(area, page)) {
        hero.setWidth(area.width() * 0.6);
        strip.setLeft(hero.right() + kGap);
    } else {
        hero.setHeight(area.height() * 0.6);
        strip.setTop(hero.bottom() + kGap);
    }
    return QList<QRectF>{hero} + BestGrid(strip, n - 1, page);
}

SlotDescription Slot(const QRectF& r) {
    SlotDescription slot;
    slot.left = static_cast<int>(std::lround(r.left()));
    slot.top = static_cast<int>(std::lround(r.top()));
    slot.right = static_cast<int>(std::lround(r.right()));
    slot.bottom = static_cast<int>(std::lround(r.bottom()));
    return slot;
}

PageDescription MakePage(const ThemeUse& use, const AlbumSize& size, int slotCount, int variant) {
    const Theme* theme = ThemeForBackground(use.background);
    PageDescription page;
    page.widthCm = size.widthCm;
    page.heightCm = size.heightCm;
    page.preview = QStringLiteral("preview.jpg");
    page.background = QString::fromUtf8(use.background);
    page.overlay = QString::fromUtf8(kOverlays[variant % kOverlayCount]);

    // A margin of about 6 % of the page's shorter side all round.
    const double marginCm = std::min(size.widthCm, size.heightCm) * 0.06;
    const QRectF area(marginCm / size.widthCm * kGridW, marginCm / size.heightCm * kGridH,
                      kGridW - 2 * marginCm / size.widthCm * kGridW,
                      kGridH - 2 * marginCm / size.heightCm * kGridH);
    const bool hero = slotCount == 3 || slotCount == 5;
    const QList<QRectF> cells =
        hero ? HeroLayout(area, slotCount, size) : BestGrid(area, slotCount, size);

    const QString border = theme ? theme->line.name().toUpper() : QStringLiteral("#FFFFFF");
    for (int i = 0; i < cells.size(); ++i) {
        SlotDescription slot = Slot(cells[i]);
        const bool large = i == 0 && (hero || slotCount == 1);
        if (slotCount == 1) {
            static const char* const kSingle[] = {"ellipse", "arch", "rounded", "heart", ""};
            const QString shape = QString::fromUtf8(kSingle[variant % 5]);
            if (!shape.isEmpty())
                slot.mask = shape + QString::number(i) + ".png";
            else
                slot.border = border;
        } else if (large) {
            slot.mask = QStringLiteral("rounded%1.png").arg(i);
        } else if (variant % 3 == 0) {
            slot.mask = (Squareness(cells[i], size) < 0.2 ? QStringLiteral("circle%1.png")
                                                          : QStringLiteral("ellipse%1.png"))
                            .arg(i);
        } else if (QString::fromUtf8(use.category) == QStringLiteral("儿童")) {
            // Children's pages lean their small photos a little, each drawn
            // in from its cell so that turned corners keep off the next one.
            const QRectF cell = cells[i];
            slot = Slot(cell.adjusted(cell.width() * 0.06, cell.height() * 0.06,
                                      -cell.width() * 0.06, -cell.height() * 0.06));
            slot.angle = (i % 2 == 0) ? -3 : 3;
            slot.border = border;
        } else {
            slot.border = border;
        }
        page.slotList.append(slot);
    }
    return page;
}

} // namespace

const QList<AlbumSize>& GeneratedAlbumSizes() {
    static const QList<AlbumSize> sizes{
        {30, 30},     {20, 20},     {40, 40}, // square
        {20, 30},     {30, 45},               // 2:3 upright
        {30, 20},     {45, 30},               // 3:2 across
        {20.3, 25.4}, {25.4, 20.3},           // 8 x 10 inches
        {30, 40},     {40, 30},               // 3:4
    };
    return sizes;
}

QList<GeneratedPage> GeneratedPages() {
    QList<GeneratedPage> pages;
    const QList<AlbumSize>& sizes = GeneratedAlbumSizes();
    for (int s = 0; s < sizes.size(); ++s) {
        for (int t = 0; t < kThemeCount; ++t) {
            const ThemeUse& use = kThemes[t];
            const int turn = (t + s) % kThemeCount;
            const QString folder = QStringLiteral("%1/%2/%3%4")
                                       .arg(QString::fromUtf8(use.category), GroupOf(sizes[s]),
                                            QString::fromUtf8(use.name), SizeName(sizes[s]));
            pages.append({folder, 1, MakePage(use, sizes[s], kFirstPageSlots[turn], t + s)});
            pages.append({folder, 2, MakePage(use, sizes[s], kSecondPageSlots[turn], t + s + 2)});
        }
    }
    return pages;
}

bool WritePageDescription(const PageDescription& page, const QString& path, QString& error) {
    QJsonArray slotArray;
    for (const SlotDescription& s : page.slotList) {
        QJsonObject o{{"rect", QJsonArray{s.left, s.top, s.right, s.bottom}}};
        if (!s.mask.isEmpty())
            o.insert("mask", s.mask);
        if (s.front != 0)
            o.insert("front", s.front);
        if (s.transparency != 0)
            o.insert("transparency", s.transparency);
        if (s.shear != 0)
            o.insert("shear", s.shear);
        if (s.angle != 0)
            o.insert("angle", s.angle);
        if (!s.border.isEmpty())
            o.insert("border", s.border);
        slotArray.append(o);
    }
    QJsonObject doc{{"page_size_cm", QJsonArray{page.widthCm, page.heightCm}},
                    {"preview", page.preview},
                    {"background", page.background},
                    {"slots", slotArray}};
    if (!page.overlay.isEmpty())
        doc.insert("overlay", page.overlay);
    QSaveFile file(path);
    const QByteArray bytes = QJsonDocument(doc).toJson();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
