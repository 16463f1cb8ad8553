#pragma once

#include "records/customer_review.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What the operator and the customer's phone do to a review. Every change is
// made on the review file's current content under the customer's lock.

// The operator's side ("审阅", taoban-cli review-open / review-close).
struct ReviewOpening {
    std::optional<QString> photoFolder; // the photos to choose from (JPEG, PNG)
    std::optional<int> choose;          // the most to choose; 0 for no limit
};

// Starts the customer's next round: a new token (the old link dies), the
// photos of photoFolder shared in the studio's name order (choices of photos
// shared before are kept; a new set needs confirming again), decisions on
// pages kept. Without photoFolder the photos shared before stay. False with
// error set (and nothing written) when the customer or the folder is not
// there or the file cannot be written.
bool OpenCustomerReview(const QString& customerFolder, const ReviewOpening& opening,
                        CustomerReview& opened, QString& error);
// Ends the review: the link dies, choices and decisions stay readable. The
// scaled copies go. False when there is no review or it cannot be written.
bool CloseCustomerReview(const QString& customerFolder);

// The JPEG and PNG files directly in folder, in the studio's name order.
QStringList ReviewPhotosIn(const QString& folder);

// The phone's side: an answer as an HTTP status and the customer's message.
struct ReviewReply {
    int status = 200; // 200 done, 400 malformed, 404 no such review, 409 refused, 500
    QString message;
};

// The most characters of a comment.
constexpr int kMaxReviewComment = 500;
// The most characters of the name signed with "全部通过".
constexpr int kMaxReviewName = 100;

// Who is asking: the review's token and the client's address.
struct PhoneClient {
    QString token;
    QString address;
};

// POST pages/I: {"state": "approved" | "changes", "comment", "pin": null |
// [x, y], "stamp"}. "changes" needs a comment or a pin. stamp, when given,
// is the page file the phone showed; a page saved since is refused (409).
ReviewReply DecideReviewPage(const QString& customerFolder, const PhoneClient& client, int index,
                             const QByteArray& body);
// POST photos/I: {"chosen": true | false}; refused once the choice is
// confirmed or when it would pass the most to choose.
ReviewReply ChooseReviewPhoto(const QString& customerFolder, const PhoneClient& client, int index,
                              const QByteArray& body);
// POST confirm-choice: {} locks the choice of photos.
ReviewReply ConfirmReviewChoice(const QString& customerFolder, const PhoneClient& client,
                                const QByteArray& body);
// POST approve-all: {"name", "stamps"}: every page that is open or approved
// becomes approved, signed with name; a page the customer asked to change
// keeps its request. stamps, when given, are the page files the phone showed,
// in order; any difference is refused (409).
ReviewReply ApproveAllReviewPages(const QString& customerFolder, const PhoneClient& client,
                                  const QByteArray& body);
