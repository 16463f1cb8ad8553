#pragma once

#include <QDialog>
#include <array>

class ISmartSelectCommands;
class QCheckBox;
class QPushButton;

// "智能筛选": the filters of smart selection and its commands, the last of
// which drafts the chosen product's missing pages through the filters. The main
// window makes it afresh for every opening and shows it with exec(), so every
// box starts ticked; its buttons leave it open (the close box ends it), and
// each command reads the boxes as they are when it is pressed.
class CSmartSelectDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSmartSelectDlg)
public:
    enum Box {
        MatchRatio,
        MatchSize,
        OneSlot,
        TwoSlots,
        ThreeSlots,
        FourSlots,
        FiveSlots,
        ManySlots
    };
    static constexpr int kBoxes = 8;
    enum Command { TemplateBySet, OpenDrawnSet, TemplateFromAll, AllPhotos, UnusedPhotos, Draft };
    static constexpr int kCommands = 6;

    explicit CSmartSelectDlg(ISmartSelectCommands& commands, QWidget* parent = nullptr);

    QCheckBox* box(Box which) const { return boxes_[which]; }
    QPushButton* button(Command which) const { return buttons_[which]; }

private:
    void Run(Command command);

    ISmartSelectCommands& commands_;
    std::array<QCheckBox*, kBoxes> boxes_{};
    std::array<QPushButton*, kCommands> buttons_{};
};
