#include "app/production/smart_select_dialog.h"

#include "controls/shared_fonts.h"
#include "production/smart_selection.h"

#include <QCheckBox>
#include <QPushButton>

CSmartSelectDlg::CSmartSelectDlg(ISmartSelectCommands& commands, QWidget* parent)
    : QDialog(parent), commands_(commands) {
    setWindowTitle(QStringLiteral("智能筛选"));
    setFont(SharedSmallFont());
    setFixedSize(360, 204);

    struct BoxPlace {
        const char* text;
        QRect rect;
    };
    const BoxPlace boxes[kBoxes] = {
        {"匹配模板比例", {24, 16, 140, 22}}, {"匹配模板尺寸", {184, 16, 140, 22}},
        {"1图", {24, 48, 52, 22}},           {"2图", {78, 48, 52, 22}},
        {"3图", {132, 48, 52, 22}},          {"4图", {186, 48, 52, 22}},
        {"5图", {240, 48, 52, 22}},          {"多图", {294, 48, 58, 22}},
    };
    for (int i = 0; i < kBoxes; ++i) {
        boxes_[i] = new QCheckBox(QString::fromUtf8(boxes[i].text), this);
        boxes_[i]->setGeometry(boxes[i].rect);
        boxes_[i]->setChecked(true);
    }

    const BoxPlace buttons[kCommands] = {
        {"随机模板(按套)", {24, 88, 100, 26}},     {"选中此套", {130, 88, 100, 26}},
        {"随机模板(全部)", {236, 88, 100, 26}},    {"随机客片(全部)", {24, 126, 153, 26}},
        {"随机客片(未使用)", {183, 126, 153, 26}}, {"生成初稿(补齐缺页)", {24, 164, 312, 26}},
    };
    for (int i = 0; i < kCommands; ++i) {
        buttons_[i] = new QPushButton(QString::fromUtf8(buttons[i].text), this);
        buttons_[i]->setGeometry(buttons[i].rect);
        // Enter must not press a button by itself: every command draws anew.
        buttons_[i]->setAutoDefault(false);
        const auto command = static_cast<Command>(i);
        connect(buttons_[i], &QPushButton::clicked, this, [this, command] { Run(command); });
    }
}

void CSmartSelectDlg::Run(Command command) {
    const ShapeFilter shape{boxes_[MatchRatio]->isChecked(), boxes_[MatchSize]->isChecked()};
    SlotCountFilter slotCounts;
    for (int i = 0; i < 6; ++i)
        slotCounts.allowed[i] = boxes_[OneSlot + i]->isChecked();
    switch (command) {
    case TemplateBySet:
        commands_.RandomTemplateBySet(shape);
        break;
    case OpenDrawnSet:
        commands_.OpenDrawnSet();
        break;
    case TemplateFromAll:
        commands_.RandomTemplateFromAll(shape, slotCounts);
        break;
    case AllPhotos:
        commands_.RandomPhotos();
        break;
    case UnusedPhotos:
        commands_.RandomUnusedPhotos();
        break;
    case Draft:
        commands_.MakeDraft(shape, slotCounts);
        break;
    }
}
