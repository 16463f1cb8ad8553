#include "app/orders/review_dialog.h"

#include "app/orders/review_serving.h"
#include "common/messages.h"
#include "controls/shared_fonts.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "review/qr_code.h"
#include "review/review_actions.h"
#include "review/review_link.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CReviewDlg::CReviewDlg(const QString& customer, ReviewServing& serving, IMessages& messages,
                       QWidget* parent)
    : QDialog(parent), customer_(customer), folder_(CustomerFolder(customer)), serving_(serving),
      messages_(messages) {
    setWindowTitle(QStringLiteral("审阅 - %1").arg(customer));
    setFont(SharedSmallFont());

    photoFolder_ = new QLineEdit(this);
    photoFolder_->setPlaceholderText(QStringLiteral("不选片时留空"));
    auto* browse = new QPushButton(QStringLiteral("浏览..."), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CReviewDlg::BrowseFolder);
    choose_ = new QSpinBox(this);
    choose_->setRange(0, 9999);
    choose_->setSpecialValueText(QStringLiteral("不限"));

    open_ = new QPushButton(QStringLiteral("开始审阅"), this);
    open_->setAutoDefault(false);
    connect(open_, &QPushButton::clicked, this, &CReviewDlg::OpenRound);
    close_ = new QPushButton(QStringLiteral("结束审阅"), this);
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &CReviewDlg::CloseReview);
    auto* done = new QPushButton(QStringLiteral("关闭"), this);
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    link_ = new QLabel(this);
    link_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    link_->setTextFormat(Qt::PlainText);
    qr_ = new QLabel(this);
    qr_->setAlignment(Qt::AlignCenter);
    qr_->setMinimumSize(240, 240);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("选片照片:"), this), 0, 0);
    form->addWidget(photoFolder_, 0, 1);
    form->addWidget(browse, 0, 2);
    form->addWidget(new QLabel(QStringLiteral("最多选:"), this), 1, 0);
    form->addWidget(choose_, 1, 1, 1, 2, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open_);
    buttons->addWidget(close_);
    buttons->addStretch(1);
    buttons->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(qr_, 1);
    layout->addWidget(link_, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    resize(460, 520);

    CustomerReview review;
    if (ReadCustomerReview(folder_, review))
        choose_->setValue(review.choose);
    ShowReview(review.open ? serving_.Refresh() : QString());
}

void CReviewDlg::BrowseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("选片照片"), photoFolder_->text(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        photoFolder_->setText(folder);
}

void CReviewDlg::OpenRound() {
    ReviewOpening opening;
    if (!photoFolder_->text().trimmed().isEmpty()) {
        opening.photoFolder = photoFolder_->text().trimmed();
        if (ReviewPhotosIn(*opening.photoFolder).isEmpty()) {
            messages_.Inform(QStringLiteral("此文件夹中没有照片!"));
            return;
        }
    }
    opening.choose = choose_->value();
    CustomerReview review;
    QString error;
    if (!OpenCustomerReview(folder_, opening, review, error)) {
        messages_.Inform(QStringLiteral("审阅无法开始!\n%1").arg(error));
        return;
    }
    ShowReview(serving_.Refresh());
}

void CReviewDlg::CloseReview() {
    if (!messages_.AskYesNo(QStringLiteral("结束审阅后客人的链接将失效, 确认吗?")))
        return;
    CloseCustomerReview(folder_);
    ShowReview(serving_.Refresh());
}

void CReviewDlg::ShowReview(const QString& note) {
    CustomerReview review;
    const bool exists = ReadCustomerReview(folder_, review);
    CustomerTask task;
    task.Load(TaskFilePath(folder_));
    task.SetPath(TaskFilePath(folder_));
    int approved = 0, changes = 0;
    const QList<ReviewedPage> pages = ReviewedPages(task, review);
    for (const ReviewedPage& page : pages) {
        approved += page.state == ReviewState::Approved ? 1 : 0;
        changes += page.state == ReviewState::Changes ? 1 : 0;
    }
    QString text;
    if (!exists) {
        text = QStringLiteral("尚未开始审阅。");
    } else {
        text = QStringLiteral("第 %1 轮%2: %3 版, %4 版通过, %5 版要求修改")
                   .arg(review.round)
                   .arg(review.open ? QString() : QStringLiteral(" (已结束)"))
                   .arg(pages.size())
                   .arg(approved)
                   .arg(changes);
        if (!review.photos.isEmpty())
            text += QStringLiteral("; 已选照片 %1 / %2 张%3")
                        .arg(review.ChosenPhotos().size())
                        .arg(review.photos.size())
                        .arg(review.choiceConfirmed ? QStringLiteral(" (已确认)") : QString());
    }
    if (!note.isEmpty())
        text += QLatin1Char('\n') + note;
    status_->setText(text);
    open_->setText(exists && review.open ? QStringLiteral("新一轮") : QStringLiteral("开始审阅"));
    close_->setEnabled(exists && review.open);
    if (exists && review.open) {
        const QString link = ReviewLink(ReviewHost(), serving_.port(), review.token);
        link_->setText(link);
        qr_->setPixmap(QPixmap::fromImage(QrCodeImage(link, 5)));
    } else {
        link_->clear();
        qr_->clear();
    }
}
