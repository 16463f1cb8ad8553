#include "app/photo_and_page_areas/review_marks.h"

#include "records/customer_task.h"
#include "records/photo_usage.h"
#include "records/workspace_paths.h"

#include <QDateTime>
#include <QFileInfo>
#include <QListWidget>

ReviewMarks::ReviewMarks(const CustomerTask& task, QObject* parent) : QObject(parent), task_(task) {
    connect(&timer_, &QTimer::timeout, this, &ReviewMarks::Poll);
    timer_.start(kPollMs);
}

QString ReviewMarks::FileStamp() const {
    if (task_.Path().isEmpty())
        return {};
    const QFileInfo file(ReviewFilePath(task_.Folder()));
    if (!file.exists())
        return {};
    return QStringLiteral("%1-%2").arg(file.lastModified().toMSecsSinceEpoch()).arg(file.size());
}

void ReviewMarks::Reread() {
    stamp_ = FileStamp();
    review_ = CustomerReview();
    hasReview_ = !task_.Path().isEmpty() && ReadCustomerReview(task_.Folder(), review_);
    pages_ = hasReview_ ? ReviewedPages(task_, review_) : QList<ReviewedPage>();
}

void ReviewMarks::Poll() {
    if (FileStamp() == stamp_)
        return;
    Reread();
    emit Changed();
}

QString ReviewMarks::StateText(const ReviewedPage& page) {
    switch (page.state) {
    case ReviewState::Approved:
        return QStringLiteral("客人已通过");
    case ReviewState::Changes:
        return QStringLiteral("客人要修改");
    case ReviewState::Open:
        break;
    }
    return page.revised ? QStringLiteral("已改,待确认") : QStringLiteral("待客人确认");
}

void ReviewMarks::Apply(QListWidget& list) const {
    for (int i = 0; i < list.count() && i < task_.PageCount(); ++i) {
        QListWidgetItem* item = list.item(i);
        const QString file = FileThumbnailLabel(
            PageImagePath(task_.Folder(), task_.pages[static_cast<size_t>(i)]->Name(), ".jpg"));
        if (!hasReview_ || i >= pages_.size()) {
            item->setText(file);
            item->setToolTip({});
            item->setData(Qt::ForegroundRole, {});
            continue;
        }
        const ReviewedPage& page = pages_[i];
        item->setText(file + QStringLiteral("\r\n") + StateText(page));
        QColor colour;
        if (page.state == ReviewState::Approved)
            colour = QColor(0x2e, 0x8b, 0x57);
        else if (page.state == ReviewState::Changes)
            colour = QColor(0xc0, 0x39, 0x2b);
        item->setData(Qt::ForegroundRole, colour.isValid() ? QVariant(colour) : QVariant());
        // The customer's words are shown as they were typed, never as markup.
        QString tip = page.decision.comment.toHtmlEscaped().replace('\n', QStringLiteral("<br>"));
        if (!page.decision.by.isEmpty())
            tip += (tip.isEmpty() ? QString() : QStringLiteral("<br>")) +
                   QStringLiteral("签名: %1").arg(page.decision.by.toHtmlEscaped());
        item->setToolTip(tip.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(tip));
    }
}

std::optional<QPointF> ReviewMarks::PinOf(int page) const {
    if (page < 0 || page >= pages_.size() || pages_[page].state != ReviewState::Changes)
        return std::nullopt;
    return pages_[page].decision.pin;
}

QStringList ReviewMarks::ChosenPhotos() const {
    QStringList photos;
    for (const QString& path : review_.ChosenPhotos())
        if (QFileInfo(path).isFile())
            photos.append(path);
    return photos;
}
