#pragma once

#include "records/customer_review.h"

#include <QJsonObject>
#include <QString>

// taoban-cli review-status: {"customer", "round", "open", "choose",
// "choice_confirmed", "pages": [{"index", "file", "state", "revised",
// "comment", "pin", "by", "at"}], "chosen": [photo file names]}.
QJsonObject ReviewStatusJson(const QString& customer, const QList<ReviewedPage>& pages,
                             const CustomerReview& review);

// GET /r/TOKEN/api/review, what the customer's page shows: the same without
// file names of pages, with each page's "stamp" and the shared photos
// ({"index", "name", "chosen"}).
QJsonObject ReviewApiJson(const QString& customer, const QList<ReviewedPage>& pages,
                          const CustomerReview& review);
