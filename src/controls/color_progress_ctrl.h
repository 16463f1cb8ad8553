#pragma once

#include <QString>
#include <QWidget>

// A flat progress bar: a white field inside a white border with the done
// part in blue and a caption centred on it. Setting the position repaints
// only when the blue part changes by at least one pixel, so a worker may
// report every item without flooding the window with paints.
class CColorProgressCtrl : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CColorProgressCtrl)

public:
    explicit CColorProgressCtrl(QWidget* parent = nullptr);

    // A range with lower >= upper paints nothing at all.
    void SetRange(int lower, int upper);
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }
    // Stores the position and returns the previous one. Positions outside
    // the range are kept as given and drawn at the nearer end.
    int SetPos(int pos);
    int GetPos() const { return pos_; }
    // The text shown on the bar; empty shows the percentage done ("50%").
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }

    // Width in pixels of the blue part for the current size, range and
    // position; 0 when the range is empty.
    int BarWidth() const;
    // The text the bar shows now.
    QString ShownCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect InnerRect() const;
    int ClampedPos() const;

    int pos_ = 0;
    int lower_ = 0;
    int upper_ = 100;
    QString caption_;
    // The blue width last asked to be drawn; -1 when unknown.
    int lastBarWidth_ = -1;
};
