#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class CustomerTask;

// The customer's review from a phone: which photos go into the album and
// what the customer said about each finished page. Kept as one JSON file in
// the customer folder ("审阅.json"), changed only under the customer's lock.

enum class ReviewState { Open, Approved, Changes };

// "open", "approved", "changes".
QString ReviewStateName(ReviewState state);
std::optional<ReviewState> ReviewStateFromName(const QString& name);

// What the customer decided about one page. It holds for the page file it was
// made on (stamp): a page saved again afterwards is open again.
struct ReviewDecision {
    QString page; // the finished page's name
    ReviewState state = ReviewState::Open;
    QString comment;
    std::optional<QPointF> pin; // where on the page, as fractions of its width and height
    QString by;                 // the name signed with "全部通过"; empty otherwise
    QDateTime at;
    QString address; // the address the decision came from
    QString stamp;   // PageFileStamp of the page when it was decided
};

struct ReviewPhoto {
    QString path;
    bool chosen = false;
};

struct CustomerReview {
    int round = 0;
    QString token; // 32 hex digits; the link's secret
    bool open = false;
    QDateTime openedAt;
    int choose = 0; // the most photos the customer may choose; 0 for no limit
    bool choiceConfirmed = false;
    QList<ReviewPhoto> photos;
    QList<ReviewDecision> decisions; // at most one per page

    const ReviewDecision* DecisionFor(const QString& page) const;
    // Replaces the page's decision, or adds it.
    void SetDecision(const ReviewDecision& decision);
    QStringList ChosenPhotos() const; // their paths, in the shared order
};

// A customer's review file: <customer folder>/审阅.json.
QString ReviewFilePath(const QString& customerFolder);
// The scaled copies shown to the customer: <customer folder>/审阅缓存.
QString ReviewCacheFolder(const QString& customerFolder);

QByteArray CustomerReviewToJson(const CustomerReview& review);
// False for anything that is not a review file; review is then untouched.
bool CustomerReviewFromJson(const QByteArray& json, CustomerReview& review);

// False when the customer has no review or its file cannot be read.
bool ReadCustomerReview(const QString& customerFolder, CustomerReview& review);

// Reads the review afresh under the customer's lock (an empty one when there
// is none yet), lets change edit it and writes it whole. False with nothing
// written when the lock could not be had, the file was there but unreadable,
// change refused or the write failed.
bool UpdateCustomerReview(const QString& customerFolder,
                          const std::function<bool(CustomerReview&)>& change);

// A finished page's file as it stands: its last change (milliseconds) and
// size, "<ms>-<bytes>"; empty when the page has no image.
QString PageFileStamp(const QString& customerFolder, const QString& page);

// A page of the task as the review shows it.
struct ReviewedPage {
    int index = 0; // from 1, in the task's order
    QString name;
    QString stamp;
    ReviewState state = ReviewState::Open;
    bool revised = false;    // decided, then saved again: open again
    ReviewDecision decision; // the decision in force; state Open when none
};

QList<ReviewedPage> ReviewedPages(const CustomerTask& task, const CustomerReview& review);

// The task list's "审阅" text: "3/10 通过" while the review is open,
// "已结束 3/10" after it was closed, empty without a review.
QString ReviewColumnText(const QString& customerFolder);

// A page the customer has not approved, and why ("A: 客人要求修改 (...)").
struct UnapprovedPage {
    QString page;
    QString message;
};
// The pages not approved while the customer's review is open; empty when
// no review is open. A print of them needs the operator's word.
QList<UnapprovedPage> UnapprovedPages(const QString& customerFolder);
// "有 N 版客人尚未通过:" and the pages' messages, one a line.
QString UnapprovedPagesText(const QList<UnapprovedPage>& unapproved);
