#include "review/review_actions.h"

#include "common/find_files.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "review/review_link.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

const QString kMalformed = QStringLiteral("请求格式错误");

bool ParseObject(const QByteArray& body, QJsonObject& object) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    object = document.object();
    return true;
}

// An optional string field: absent or null is empty, anything but a string
// is malformed.
bool OptionalString(const QJsonObject& object, const char* key, QString& out) {
    const QJsonValue value = object[QLatin1String(key)];
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

bool PinFrom(const QJsonValue& value, std::optional<QPointF>& pin) {
    if (value.isUndefined() || value.isNull())
        return true;
    const QJsonArray xy = value.toArray();
    if (!value.isArray() || xy.size() != 2 || !xy[0].isDouble() || !xy[1].isDouble())
        return false;
    const double x = xy[0].toDouble(), y = xy[1].toDouble();
    if (!(x >= 0 && x <= 1 && y >= 0 && y <= 1))
        return false;
    pin = QPointF(x, y);
    return true;
}

// Runs change on the current review and pages under the customer's lock and
// writes the review when change answers 200.
using PhoneChange =
    std::function<ReviewReply(CustomerReview& review, const QList<ReviewedPage>& pages)>;

ReviewReply Apply(const QString& folder, const PhoneClient& client, const PhoneChange& change) {
    ReviewReply reply{503, QStringLiteral("正忙, 请稍后再试")};
    const bool written = UpdateCustomerReview(folder, [&](CustomerReview& review) {
        if (!review.open || review.token != client.token) {
            reply = ReviewReply{404, QStringLiteral("此链接已失效")};
            return false;
        }
        CustomerTask task;
        task.Load(TaskFilePath(folder));
        task.SetPath(TaskFilePath(folder));
        reply = change(review, ReviewedPages(task, review));
        return reply.status == 200;
    });
    if (reply.status == 200 && !written)
        reply = ReviewReply{500, QStringLiteral("保存失败, 请稍后再试")};
    return reply;
}

ReviewDecision DecisionNow(const ReviewedPage& page, ReviewState state, const PhoneClient& client) {
    ReviewDecision decision;
    decision.page = page.name;
    decision.state = state;
    decision.at = QDateTime::currentDateTimeUtc();
    decision.address = client.address;
    decision.stamp = page.stamp;
    return decision;
}

const QString kPageChanged = QStringLiteral("此版刚刚更新过, 请刷新后再确认");

} // namespace

QStringList ReviewPhotosIn(const QString& folder) {
    const QDir dir(folder);
    QStringList names =
        dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"), QStringLiteral("*.png")},
                      QDir::Files | QDir::Readable);
    SortFileNames(names);
    QStringList photos;
    for (const QString& name : names)
        photos.append(dir.absoluteFilePath(name));
    return photos;
}

bool OpenCustomerReview(const QString& customerFolder, const ReviewOpening& opening,
                        CustomerReview& opened, QString& error) {
    if (!QFileInfo(TaskFilePath(customerFolder)).isFile()) {
        error = QStringLiteral("no customer task in %1").arg(customerFolder);
        return false;
    }
    QStringList photos;
    if (opening.photoFolder) {
        if (!QFileInfo(*opening.photoFolder).isDir()) {
            error = QStringLiteral("no folder %1").arg(*opening.photoFolder);
            return false;
        }
        photos = ReviewPhotosIn(*opening.photoFolder);
        if (photos.isEmpty()) {
            error = QStringLiteral("no JPEG or PNG photos in %1").arg(*opening.photoFolder);
            return false;
        }
    }
    const bool written = UpdateCustomerReview(customerFolder, [&](CustomerReview& review) {
        ++review.round;
        review.token = NewReviewToken();
        review.open = true;
        review.openedAt = QDateTime::currentDateTimeUtc();
        if (opening.choose)
            review.choose = std::max(0, *opening.choose);
        if (opening.photoFolder) {
            QSet<QString> chosen;
            for (const QString& path : review.ChosenPhotos())
                chosen.insert(path);
            review.photos.clear();
            for (const QString& path : photos)
                review.photos.append(ReviewPhoto{path, chosen.contains(path)});
            review.choiceConfirmed = false;
        }
        opened = review;
        return true;
    });
    if (!written)
        error = QStringLiteral("cannot write %1").arg(ReviewFilePath(customerFolder));
    return written;
}

bool CloseCustomerReview(const QString& customerFolder) {
    if (!QFileInfo::exists(ReviewFilePath(customerFolder)))
        return false;
    const bool written = UpdateCustomerReview(customerFolder, [](CustomerReview& review) {
        review.open = false;
        return true;
    });
    if (written)
        QDir(ReviewCacheFolder(customerFolder)).removeRecursively();
    return written;
}

ReviewReply DecideReviewPage(const QString& customerFolder, const PhoneClient& client, int index,
                             const QByteArray& body) {
    QJsonObject object;
    if (!ParseObject(body, object))
        return {400, kMalformed};
    const auto state = ReviewStateFromName(object["state"].toString());
    QString comment, stamp;
    std::optional<QPointF> pin;
    if (!state || *state == ReviewState::Open || !OptionalString(object, "comment", comment) ||
        !OptionalString(object, "stamp", stamp) || !PinFrom(object["pin"], pin))
        return {400, kMalformed};
    comment = comment.trimmed();
    if (comment.size() > kMaxReviewComment)
        return {400, QStringLiteral("意见最多 %1 字").arg(kMaxReviewComment)};
    if (*state == ReviewState::Changes && comment.isEmpty() && !pin)
        return {400, QStringLiteral("请写下修改意见或在版面上标出位置")};
    return Apply(customerFolder, client, [&](CustomerReview& review, const auto& pages) {
        if (index < 1 || index > pages.size())
            return ReviewReply{400, QStringLiteral("没有这一版")};
        const ReviewedPage& page = pages[index - 1];
        if (page.stamp.isEmpty() || (!stamp.isEmpty() && stamp != page.stamp))
            return ReviewReply{409, kPageChanged};
        ReviewDecision decision = DecisionNow(page, *state, client);
        decision.comment = comment;
        decision.pin = pin;
        review.SetDecision(decision);
        return ReviewReply{200, {}};
    });
}

ReviewReply ChooseReviewPhoto(const QString& customerFolder, const PhoneClient& client, int index,
                              const QByteArray& body) {
    QJsonObject object;
    if (!ParseObject(body, object) || !object["chosen"].isBool())
        return {400, kMalformed};
    const bool chosen = object["chosen"].toBool();
    return Apply(customerFolder, client, [&](CustomerReview& review, const auto&) {
        if (index < 1 || index > review.photos.size())
            return ReviewReply{400, QStringLiteral("没有这张照片")};
        if (review.choiceConfirmed)
            return ReviewReply{409, QStringLiteral("选片已确认, 不能再改")};
        ReviewPhoto& photo = review.photos[index - 1];
        if (chosen && !photo.chosen && review.choose > 0 &&
            review.ChosenPhotos().size() >= review.choose)
            return ReviewReply{409, QStringLiteral("最多可选 %1 张").arg(review.choose)};
        photo.chosen = chosen;
        return ReviewReply{200, {}};
    });
}

ReviewReply ConfirmReviewChoice(const QString& customerFolder, const PhoneClient& client,
                                const QByteArray& body) {
    QJsonObject object;
    if (!ParseObject(body, object))
        return {400, kMalformed};
    return Apply(customerFolder, client, [&](CustomerReview& review, const auto&) {
        if (review.photos.isEmpty())
            return ReviewReply{400, QStringLiteral("没有可选的照片")};
        review.choiceConfirmed = true;
        return ReviewReply{200, {}};
    });
}

ReviewReply ApproveAllReviewPages(const QString& customerFolder, const PhoneClient& client,
                                  const QByteArray& body) {
    QJsonObject object;
    QString name;
    if (!ParseObject(body, object) || !OptionalString(object, "name", name))
        return {400, kMalformed};
    const QJsonValue stampsValue = object["stamps"];
    if (!stampsValue.isUndefined() && !stampsValue.isNull() && !stampsValue.isArray())
        return {400, kMalformed};
    QStringList stamps;
    for (const QJsonValue& stamp : stampsValue.toArray()) {
        if (!stamp.isString())
            return {400, kMalformed};
        stamps.append(stamp.toString());
    }
    name = name.trimmed();
    if (name.isEmpty() || name.size() > kMaxReviewName)
        return {400, QStringLiteral("请签上您的姓名")};
    return Apply(customerFolder, client, [&](CustomerReview& review, const auto& pages) {
        if (pages.isEmpty())
            return ReviewReply{400, QStringLiteral("还没有版面")};
        if (stampsValue.isArray()) {
            QStringList now;
            for (const ReviewedPage& page : pages)
                now.append(page.stamp);
            if (now != stamps)
                return ReviewReply{409, QStringLiteral("版面刚刚更新过, 请刷新后再确认")};
        }
        for (const ReviewedPage& page : pages) {
            if (page.state == ReviewState::Changes || page.stamp.isEmpty())
                continue;
            ReviewDecision decision = DecisionNow(page, ReviewState::Approved, client);
            if (page.state == ReviewState::Approved)
                decision.comment = page.decision.comment;
            decision.by = name;
            review.SetDecision(decision);
        }
        return ReviewReply{200, {}};
    });
}
