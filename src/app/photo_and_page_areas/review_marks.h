#pragma once

#include "records/customer_review.h"

#include <QObject>
#include <QPointF>
#include <QTimer>
#include <optional>

class CustomerTask;
class QListWidget;

// What the customer said on the phone, shown in the finished-products area:
// each page's label gets its review state, a page with a comment shows it
// as its tooltip, and the canvas marks the pin of the page it shows. The
// review file is watched, so a phone's decision shows within a second.
class ReviewMarks final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReviewMarks)
public:
    static constexpr int kPollMs = 1000;

    explicit ReviewMarks(const CustomerTask& task, QObject* parent = nullptr);

    // Reads the open task's review again (after a task is opened or a page
    // saved).
    void Reread();
    // Labels, tooltips and colours of the finished pages' entries (entry i
    // is page i of the task); the plain file labels where there is no review.
    void Apply(QListWidget& list) const;
    // The pin of page i when the customer asked for a change there.
    std::optional<QPointF> PinOf(int page) const;
    // The photos the customer chose, those still on disk.
    QStringList ChosenPhotos() const;
    bool hasReview() const { return hasReview_; }
    bool sharesPhotos() const { return !review_.photos.isEmpty(); }

    // The label's second line for a page's state.
    static QString StateText(const ReviewedPage& page);

signals:
    // The review changed on disk: labels and the pin mark are to be redrawn.
    void Changed();

private:
    void Poll();
    QString FileStamp() const;

    const CustomerTask& task_;
    QTimer timer_;
    QString stamp_;
    bool hasReview_ = false;
    CustomerReview review_;
    QList<ReviewedPage> pages_;
};
