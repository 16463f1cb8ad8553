#pragma once

#include <QDialog>

class IMessages;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ReviewServing;

// "审阅": the customer's review by phone. Starts a round (a new link, the
// photos of a folder to choose from), shows the link with its QR code for
// the customer to scan, how far the customer got, and ends the review.
class CReviewDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReviewDlg)
public:
    CReviewDlg(const QString& customer, ReviewServing& serving, IMessages& messages,
               QWidget* parent = nullptr);

    QLineEdit* photoFolder() const { return photoFolder_; }
    QSpinBox* chooseCount() const { return choose_; }
    QPushButton* openButton() const { return open_; }
    QPushButton* closeReviewButton() const { return close_; }
    QLabel* link() const { return link_; }
    QLabel* qrCode() const { return qr_; }
    QLabel* status() const { return status_; }

private:
    void OpenRound();
    void CloseReview();
    void BrowseFolder();
    // Shows the review as it stands on disk; note is added below it.
    void ShowReview(const QString& note = {});

    QString customer_;
    QString folder_;
    ReviewServing& serving_;
    IMessages& messages_;
    QLineEdit* photoFolder_;
    QSpinBox* choose_;
    QPushButton* open_;
    QPushButton* close_;
    QLabel* link_;
    QLabel* qr_;
    QLabel* status_;
};
