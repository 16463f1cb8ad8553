#include "review/review_json.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

QJsonValue OrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonObject PageJson(const ReviewedPage& page) {
    const ReviewDecision& d = page.decision;
    return QJsonObject{
        {"index", page.index},
        {"state", ReviewStateName(page.state)},
        {"revised", page.revised},
        {"comment", d.comment},
        {"pin",
         d.pin ? QJsonValue(QJsonArray{d.pin->x(), d.pin->y()}) : QJsonValue(QJsonValue::Null)},
        {"by", OrNull(d.by)},
        {"at", d.at.isValid() ? QJsonValue(d.at.toUTC().toString(Qt::ISODate))
                              : QJsonValue(QJsonValue::Null)},
    };
}

QJsonObject Common(const QString& customer, const CustomerReview& review) {
    return QJsonObject{{"customer", customer},
                       {"round", review.round},
                       {"open", review.open},
                       {"choose", review.choose},
                       {"choice_confirmed", review.choiceConfirmed}};
}

} // namespace

QJsonObject ReviewStatusJson(const QString& customer, const QList<ReviewedPage>& pages,
                             const CustomerReview& review) {
    QJsonObject root = Common(customer, review);
    QJsonArray pageArray;
    for (const ReviewedPage& page : pages) {
        QJsonObject json = PageJson(page);
        json["file"] = page.name + QStringLiteral(".jpg");
        pageArray.append(json);
    }
    root["pages"] = pageArray;
    QJsonArray chosen;
    for (const QString& path : review.ChosenPhotos())
        chosen.append(QFileInfo(path).fileName());
    root["chosen"] = chosen;
    return root;
}

QJsonObject ReviewApiJson(const QString& customer, const QList<ReviewedPage>& pages,
                          const CustomerReview& review) {
    QJsonObject root = Common(customer, review);
    QJsonArray pageArray;
    for (const ReviewedPage& page : pages) {
        QJsonObject json = PageJson(page);
        json["stamp"] = page.stamp;
        pageArray.append(json);
    }
    root["pages"] = pageArray;
    QJsonArray photos;
    for (int i = 0; i < review.photos.size(); ++i)
        photos.append(QJsonObject{{"index", i + 1},
                                  {"name", QFileInfo(review.photos[i].path).fileName()},
                                  {"chosen", review.photos[i].chosen}});
    root["photos"] = photos;
    return root;
}
