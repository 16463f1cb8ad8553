#include "records/customer_review.h"

#include "common/atomic_file.h"
#include "records/customer_task.h"
#include "records/customer_update.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Thousands of shared photos fit many times over; a damaged or hostile file
// larger than this is not a review.
constexpr qint64 kMaxReviewFileBytes = qint64(16) << 20;

QString TimeText(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime TimeFrom(const QJsonValue& value) {
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

QJsonValue PinJson(const std::optional<QPointF>& pin) {
    if (!pin)
        return QJsonValue(QJsonValue::Null);
    return QJsonArray{pin->x(), pin->y()};
}

std::optional<QPointF> PinFrom(const QJsonValue& value) {
    const QJsonArray xy = value.toArray();
    if (xy.size() != 2 || !xy[0].isDouble() || !xy[1].isDouble())
        return std::nullopt;
    return QPointF(xy[0].toDouble(), xy[1].toDouble());
}

} // namespace

QString ReviewStateName(ReviewState state) {
    switch (state) {
    case ReviewState::Approved:
        return QStringLiteral("approved");
    case ReviewState::Changes:
        return QStringLiteral("changes");
    case ReviewState::Open:
        break;
    }
    return QStringLiteral("open");
}

std::optional<ReviewState> ReviewStateFromName(const QString& name) {
    for (ReviewState state : {ReviewState::Open, ReviewState::Approved, ReviewState::Changes})
        if (ReviewStateName(state) == name)
            return state;
    return std::nullopt;
}

const ReviewDecision* CustomerReview::DecisionFor(const QString& page) const {
    for (const ReviewDecision& decision : decisions)
        if (decision.page == page)
            return &decision;
    return nullptr;
}

void CustomerReview::SetDecision(const ReviewDecision& decision) {
    for (ReviewDecision& existing : decisions) {
        if (existing.page == decision.page) {
            existing = decision;
            return;
        }
    }
    decisions.append(decision);
}

QStringList CustomerReview::ChosenPhotos() const {
    QStringList chosen;
    for (const ReviewPhoto& photo : photos)
        if (photo.chosen)
            chosen.append(photo.path);
    return chosen;
}

QString ReviewFilePath(const QString& customerFolder) {
    return customerFolder + QStringLiteral("/审阅.json");
}

QString ReviewCacheFolder(const QString& customerFolder) {
    return customerFolder + QStringLiteral("/审阅缓存");
}

QByteArray CustomerReviewToJson(const CustomerReview& review) {
    QJsonArray photos;
    for (const ReviewPhoto& photo : review.photos)
        photos.append(QJsonObject{{"path", photo.path}, {"chosen", photo.chosen}});
    QJsonArray pages;
    for (const ReviewDecision& d : review.decisions)
        pages.append(QJsonObject{{"page", d.page},
                                 {"state", ReviewStateName(d.state)},
                                 {"comment", d.comment},
                                 {"pin", PinJson(d.pin)},
                                 {"by", d.by},
                                 {"at", TimeText(d.at)},
                                 {"address", d.address},
                                 {"stamp", d.stamp}});
    const QJsonObject root{{"round", review.round},   {"token", review.token},
                           {"open", review.open},     {"opened_at", TimeText(review.openedAt)},
                           {"choose", review.choose}, {"choice_confirmed", review.choiceConfirmed},
                           {"photos", photos},        {"pages", pages}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool CustomerReviewFromJson(const QByteArray& json, CustomerReview& review) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject root = document.object();
    if (!root["round"].isDouble() || !root["token"].isString())
        return false;
    CustomerReview read;
    read.round = root["round"].toInt();
    read.token = root["token"].toString();
    read.open = root["open"].toBool();
    read.openedAt = TimeFrom(root["opened_at"]);
    read.choose = std::max(0, root["choose"].toInt());
    read.choiceConfirmed = root["choice_confirmed"].toBool();
    for (const QJsonValue& value : root["photos"].toArray()) {
        const QJsonObject photo = value.toObject();
        if (photo["path"].isString())
            read.photos.append(ReviewPhoto{photo["path"].toString(), photo["chosen"].toBool()});
    }
    for (const QJsonValue& value : root["pages"].toArray()) {
        const QJsonObject page = value.toObject();
        const auto state = ReviewStateFromName(page["state"].toString());
        if (!page["page"].isString() || !state)
            continue;
        read.SetDecision(ReviewDecision{page["page"].toString(), *state, page["comment"].toString(),
                                        PinFrom(page["pin"]), page["by"].toString(),
                                        TimeFrom(page["at"]), page["address"].toString(),
                                        page["stamp"].toString()});
    }
    review = std::move(read);
    return true;
}

bool ReadCustomerReview(const QString& customerFolder, CustomerReview& review) {
    QByteArray bytes;
    return ReadWholeFile(ReviewFilePath(customerFolder), bytes, kMaxReviewFileBytes) &&
           CustomerReviewFromJson(bytes, review);
}

bool UpdateCustomerReview(const QString& customerFolder,
                          const std::function<bool(CustomerReview&)>& change) {
    return WithCustomerLock(customerFolder, [&] {
        const QString path = ReviewFilePath(customerFolder);
        CustomerReview review;
        // A file that is there but cannot be read is not replaced by what
        // this change alone would hold.
        if (QFileInfo::exists(path) && !ReadCustomerReview(customerFolder, review))
            return false;
        return change(review) && WriteFileAtomic(path, CustomerReviewToJson(review));
    });
}

QString PageFileStamp(const QString& customerFolder, const QString& page) {
    const QFileInfo file(PageImagePath(customerFolder, page, QStringLiteral(".jpg")));
    if (!file.isFile())
        return {};
    return QStringLiteral("%1-%2").arg(file.lastModified().toMSecsSinceEpoch()).arg(file.size());
}

QList<ReviewedPage> ReviewedPages(const CustomerTask& task, const CustomerReview& review) {
    QList<ReviewedPage> pages;
    const QString folder = task.Folder();
    for (int i = 0; i < task.PageCount(); ++i) {
        ReviewedPage page;
        page.index = i + 1;
        page.name = task.pages[static_cast<size_t>(i)]->Name();
        page.stamp = PageFileStamp(folder, page.name);
        page.decision.page = page.name;
        if (const ReviewDecision* decision = review.DecisionFor(page.name)) {
            if (decision->stamp == page.stamp && !page.stamp.isEmpty()) {
                page.decision = *decision;
                page.state = decision->state;
            } else {
                page.revised = decision->state != ReviewState::Open;
            }
        }
        pages.append(page);
    }
    return pages;
}

namespace {

bool ReadReviewWithPages(const QString& customerFolder, CustomerReview& review,
                         QList<ReviewedPage>& pages) {
    if (!ReadCustomerReview(customerFolder, review))
        return false;
    CustomerTask task;
    task.Load(TaskFilePath(customerFolder));
    task.SetPath(TaskFilePath(customerFolder));
    pages = ReviewedPages(task, review);
    return true;
}

} // namespace

QString ReviewColumnText(const QString& customerFolder) {
    CustomerReview review;
    QList<ReviewedPage> pages;
    if (!ReadReviewWithPages(customerFolder, review, pages))
        return {};
    int approved = 0;
    for (const ReviewedPage& page : pages)
        approved += page.state == ReviewState::Approved ? 1 : 0;
    const QString count = QStringLiteral("%1/%2").arg(approved).arg(pages.size());
    return review.open ? count + QStringLiteral(" 通过") : QStringLiteral("已结束 ") + count;
}

QList<UnapprovedPage> UnapprovedPages(const QString& customerFolder) {
    CustomerReview review;
    QList<ReviewedPage> pages;
    if (!ReadReviewWithPages(customerFolder, review, pages) || !review.open)
        return {};
    QList<UnapprovedPage> unapproved;
    for (const ReviewedPage& page : pages) {
        if (page.state == ReviewState::Approved)
            continue;
        QString why = page.state == ReviewState::Changes ? QStringLiteral("客人要求修改")
                      : page.revised ? QStringLiteral("已修改, 客人尚未确认")
                                     : QStringLiteral("客人尚未确认");
        if (page.state == ReviewState::Changes && !page.decision.comment.isEmpty())
            why += QStringLiteral(" (%1)").arg(page.decision.comment);
        unapproved.append(UnapprovedPage{page.name, page.name + QStringLiteral(": ") + why});
    }
    return unapproved;
}

QString UnapprovedPagesText(const QList<UnapprovedPage>& unapproved) {
    QString text = QStringLiteral("有 %1 版客人尚未通过:").arg(unapproved.size());
    for (const UnapprovedPage& page : unapproved)
        text += QLatin1Char('\n') + page.message;
    return text;
}
