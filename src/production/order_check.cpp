#include "production/order_check.h"

#include "common/atomic_file.h"
#include "compose/canvas_size_file.h"
#include "compose/template_body.h"
#include "production/export_pages.h"
#include "production/page_image_info.h"
#include "production/slot_resolution.h"
#include "raster/raster.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include <QDateTime>
#include <QFileInfo>
#include <array>

namespace {

// Layout records hold a template and its photos; anything larger is none.
constexpr qint64 kMaxRecordBytes = qint64(1) << 30;

const OrderLine* ProductOf(const QString& page, const QList<OrderLine>& lines) {
    for (const OrderLine& line : lines)
        if (!line.name.isEmpty() && PageOfProduct(page, line.name))
            return &line;
    return nullptr;
}

QString Ppi(double ppi) {
    return QString::number(ppi, 'f', 0);
}

class Checker {
public:
    Checker(const QString& customer, int dpi, const ResolutionThreshold& threshold,
            QSize canvasFallback)
        : folder_(CustomerFolder(customer)), dpi_(dpi), threshold_(threshold),
          canvasFallback_(canvasFallback) {
        report_.customer = customer;
    }

    OrderCheckReport Run() {
        CustomerTask task;
        task.Load(TaskFilePath(folder_));
        const QList<OrderLine> lines = ReadOrderLines(OrderLinesPath(folder_));
        for (const OrderLine& line : lines)
            CheckPageCount(line, task);
        for (const auto& page : task.pages)
            CheckPage(*page, ProductOf(page->Name(), lines));
        for (const UnapprovedPage& page : UnapprovedPages(folder_))
            Add(OrderFinding::Kind::Unapproved, page.page, page.message);
        return report_;
    }

private:
    void Add(OrderFinding::Kind kind, const QString& page, const QString& message, int slot = -1,
             std::optional<double> ppi = std::nullopt) {
        report_.findings.append(OrderFinding{kind, page, slot, ppi, message});
    }

    void CheckPageCount(const OrderLine& line, const CustomerTask& task) {
        // A product without an album page count still needs its one page.
        const int ordered = std::max(1, TextToInt(line.pages));
        int designed = 0;
        for (const auto& page : task.pages)
            designed += PageOfProduct(page->Name(), line.name) ? 1 : 0;
        if (designed != ordered)
            Add(OrderFinding::Kind::PageCount, line.name,
                QStringLiteral("%1: 订购 %2 P, 已设计 %3 P")
                    .arg(line.name)
                    .arg(ordered)
                    .arg(designed));
        if (designed > kMaxExportPagesPerProduct)
            Add(OrderFinding::Kind::BeyondExport, line.name,
                QStringLiteral("%1: 已设计 %2 P, 超出 %3 P 的 %4 P 不会导出")
                    .arg(line.name)
                    .arg(designed)
                    .arg(kMaxExportPagesPerProduct)
                    .arg(designed - kMaxExportPagesPerProduct));
    }

    void CheckPage(const TaskPage& page, const OrderLine* product) {
        const QString name = page.Name();
        const QString dataFolder = PageDataFolder(folder_, name);
        const QFileInfo record(dataFolder + QStringLiteral("/dat"));
        const QFileInfo image(BigPageImagePath(folder_, name, QStringLiteral(".jpg")));

        LayoutRecord layout;
        TemplateBody body;
        QByteArray bytes;
        const bool readable = ReadWholeFile(record.filePath(), bytes, kMaxRecordBytes) &&
                              ParseLayoutRecord(bytes, layout) &&
                              ParseTemplateBody(layout.body, body) == BodyStatus::Ok;
        bytes = QByteArray();
        if (!readable)
            Add(OrderFinding::Kind::LayoutRecord, name,
                QStringLiteral("%1: 版面记录(dat)缺失或无法读取, 套版时会被跳过").arg(name));

        QSize size(page.width, page.height);
        if (!image.isFile()) {
            Add(OrderFinding::Kind::NotRendered, name, QStringLiteral("%1: 尚未套版").arg(name));
        } else {
            if (record.isFile() && image.lastModified() < record.lastModified())
                Add(OrderFinding::Kind::Stale, name,
                    QStringLiteral("%1: 套版后又修改过, 需重新套版").arg(name));
            size = ReadPageImageInfo(image.filePath()).size;
        }
        if (product) {
            const QSize wanted(CmToPixels(product->width, dpi_), CmToPixels(product->height, dpi_));
            if (size != wanted)
                Add(OrderFinding::Kind::Size, name,
                    QStringLiteral("%1: %2×%3 像素, 产品 %4 应为 %5×%6 像素")
                        .arg(name)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(product->name)
                        .arg(wanted.width())
                        .arg(wanted.height()));
        }
        if (readable)
            CheckSlots(page, layout, body, dataFolder);
    }

    void CheckSlots(const TaskPage& page, const LayoutRecord& layout, const TemplateBody& body,
                    const QString& dataFolder) {
        PrintFrame frame;
        frame.page = QSize(page.width, page.height);
        frame.background = ShownImageSize(body.background);
        const QSize saved = ReadCanvasSizeFile(dataFolder);
        frame.canvas = saved.isValid() ? saved : canvasFallback_;
        frame.dpi = dpi_;
        // Later entries for a slot replace earlier ones, as in the batch.
        std::array<QSize, TaskPage::kSlotCount> photos;
        for (const LayoutPhoto& photo : layout.photos)
            if (photo.slot < static_cast<uint32_t>(TaskPage::kSlotCount))
                photos[photo.slot] = ShownImageSize(photo.bytes);
        for (int slot = 0; slot < TaskPage::kSlotCount; ++slot) {
            const auto ppi = EffectiveResolution(photos[slot], page.placements[slot], frame);
            if (!ppi || LevelOf(*ppi, threshold_) == ResolutionLevel::Sharp)
                continue;
            const QString name = page.Name();
            Add(OrderFinding::Kind::Resolution, name,
                QStringLiteral("%1 第%2位: 有效分辨率 %3 ppi, 低于 %4 ppi")
                    .arg(name)
                    .arg(slot + 1)
                    .arg(Ppi(*ppi))
                    .arg(LevelOf(*ppi, threshold_) == ResolutionLevel::Low ? threshold_.low
                                                                           : threshold_.warn),
                slot, *ppi);
        }
    }

    QString folder_;
    int dpi_;
    ResolutionThreshold threshold_;
    QSize canvasFallback_;
    OrderCheckReport report_;
};

} // namespace

QString FindingKindName(OrderFinding::Kind kind) {
    switch (kind) {
    case OrderFinding::Kind::PageCount:
        return QStringLiteral("page_count");
    case OrderFinding::Kind::LayoutRecord:
        return QStringLiteral("layout_record");
    case OrderFinding::Kind::NotRendered:
        return QStringLiteral("not_rendered");
    case OrderFinding::Kind::Stale:
        return QStringLiteral("stale");
    case OrderFinding::Kind::Size:
        return QStringLiteral("size");
    case OrderFinding::Kind::Resolution:
        return QStringLiteral("resolution");
    case OrderFinding::Kind::BeyondExport:
        return QStringLiteral("beyond_export");
    case OrderFinding::Kind::Unapproved:
        return QStringLiteral("unapproved");
    }
    return {};
}

OrderCheckReport CheckOrder(const QString& customer, int dpi, const ResolutionThreshold& threshold,
                            QSize canvasFallback) {
    return Checker(customer, dpi, threshold, canvasFallback).Run();
}
