#include "controls/skin.h"

#include "controls/shared_fonts.h"
#include "controls/theme.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// Width and height of the sunken edge between the border and the face.
constexpr int kEdge = 2;

void FillRow(QPainter* p, int left, int y, int width, const QColor& c) {
    p->fillRect(QRect(left, y, width, 1), c);
}

class SkinStyle final : public QProxyStyle {
public:
    // A proxy style owns and deletes its base style, so it gets a Fusion of
    // its own rather than whatever style the application holds.
    SkinStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    using QProxyStyle::polish;
    void polish(QWidget* widget) override {
        QProxyStyle::polish(widget);
        // The hover frame needs a repaint on every enter and leave.
        if (qobject_cast<QPushButton*>(widget))
            widget->setAttribute(Qt::WA_Hover, true);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_PushButton) {
            if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                painter->save();
                DrawPushButton(*button, painter);
                painter->restore();
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control == CC_GroupBox) {
            const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
            // A checkable group box needs the base style's check box.
            if (box && !(box->subControls & SC_GroupBoxCheckBox)) {
                painter->save();
                DrawGroupBox(*box, painter, widget ? widget->font() : painter->font());
                painter->restore();
                return;
            }
        }
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }

private:
    void DrawPushButton(const QStyleOptionButton& opt, QPainter* p) const {
        const QRect client = opt.rect;
        p->setRenderHint(QPainter::Antialiasing, true);
        p->setPen(QPen(Theme::kButtonBorder, 1));
        p->setBrush(Qt::NoBrush);
        // 5 x 5 corner ellipses; the pen stays inside the client rectangle.
        p->drawRoundedRect(QRectF(client).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        p->setRenderHint(QPainter::Antialiasing, false);

        const QRect face = client.adjusted(kEdge, kEdge, -kEdge, -kEdge);
        const int top = face.top();
        const int height = face.height();
        // The face is filled row by row down to two rows below its own
        // height, the last rows in the final step; a button too small to have
        // a face gets none.
        if (height > 0 && face.width() > 0) {
            for (int y = top; y <= height + 2; ++y) {
                const int step = y > height ? 63 : y * 63 / height;
                FillRow(p, face.left(), client.top() + y, face.width(),
                        Theme::ButtonGradientStep(step));
            }
        }

        const bool hovered = opt.state & State_MouseOver;
        if (hovered && opt.state & State_Enabled)
            DrawHoverFrame(p, face);

        DrawButtonText(opt, p, face);
    }

    // Left, right, top and bottom edges in this order, each drawn over the
    // previous ones; l, t are the face's first column and row, r, b the first
    // ones past it.
    static void DrawHoverFrame(QPainter* p, const QRect& face) {
        const int l = face.left();
        const int t = face.top();
        const int r = face.left() + face.width();
        const int b = face.top() + face.height();
        p->fillRect(QRect(QPoint(l - 1, t + 1), QPoint(l + 1, b - 1)), Theme::kHoverLeft);
        p->fillRect(QRect(QPoint(r - 2, t), QPoint(r, b - 1)), Theme::kHoverRight);
        p->fillRect(QRect(QPoint(l - 1, t - 1), QPoint(r - 1, t)), Theme::kHoverTop);
        p->fillRect(QRect(QPoint(l, b - 1), QPoint(r - 1, b)), Theme::kHoverBottom);
    }

    void DrawButtonText(const QStyleOptionButton& opt, QPainter* p, const QRect& face) const {
        if (opt.text.isEmpty())
            return;
        const QFont& font = SharedSmallFont();
        p->setFont(font);
        int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        flags |= styleHint(SH_UnderlineShortcut, &opt, nullptr) ? Qt::TextShowMnemonic
                                                                : Qt::TextHideMnemonic;
        const QSize extent = QFontMetrics(font).size(flags, opt.text);
        QPoint at(face.left() + (face.width() - extent.width()) / 2,
                  face.top() + (face.height() - extent.height()) / 2);
        if (opt.state & State_Sunken)
            at += QPoint(1, 1);
        const QRect box(at, extent);
        if (opt.state & State_Enabled) {
            p->setPen(Theme::kDialogText);
            p->drawText(box, flags, opt.text);
        } else {
            // Embossed: a highlight copy one pixel down and right under the
            // shadow-coloured text.
            p->setPen(Theme::kEdgeHighlight);
            p->drawText(box.translated(1, 1), flags, opt.text);
            p->setPen(Theme::kEdgeShadow);
            p->drawText(box, flags, opt.text);
        }
    }

    void DrawGroupBox(const QStyleOptionGroupBox& opt, QPainter* p, const QFont& font) const {
        const QRect area = opt.rect;
        const int w = area.width();
        const int h = area.height();
        p->translate(area.topLeft());
        // Bands in the dialog background around the edges; the inside is
        // left to the dialog behind the box.
        const QColor& bg = Theme::kDialogBackground;
        p->fillRect(QRect(0, 0, w, 15), bg);
        p->fillRect(QRect(0, 0, 6, h), bg);
        p->fillRect(QRect(w - 6, 0, 6, h), bg);
        p->fillRect(QRect(0, h - 6, w, 6), bg);
        // One-pixel white frame from (0, 8) to the far corner.
        const QColor& frame = Theme::kGroupFrame;
        p->fillRect(QRect(0, 8, w, 1), frame);
        p->fillRect(QRect(0, h - 1, w, 1), frame);
        p->fillRect(QRect(0, 8, 1, h - 8), frame);
        p->fillRect(QRect(w - 1, 8, 1, h - 8), frame);

        if (opt.text.isEmpty())
            return;
        int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        flags |= styleHint(SH_UnderlineShortcut, &opt, nullptr) ? Qt::TextShowMnemonic
                                                                : Qt::TextHideMnemonic;
        p->setFont(font);
        const QRect caption(QPoint(8, 0), QFontMetrics(font).size(flags, opt.text));
        p->fillRect(caption, bg);
        p->setPen(opt.state & State_Enabled ? Theme::kGroupCaption : Theme::kGroupCaptionDisabled);
        p->drawText(caption, flags, opt.text);
    }
};

struct SkinState {
    QPointer<QStyle> skin;
    QStyle* previousStyle = nullptr;
    QPalette previousPalette;
};

SkinState& State() {
    static SkinState state;
    return state;
}

} // namespace

void InstallSkin() {
    SkinState& s = State();
    if (s.skin)
        return;
    // QApplication deletes the style it replaces when it owns it; taking it
    // out of the application's hands keeps it for RemoveSkin.
    s.previousStyle = QApplication::style();
    if (s.previousStyle && s.previousStyle->parent() == qApp)
        s.previousStyle->setParent(nullptr);
    s.previousPalette = QApplication::palette();

    auto* skin = new SkinStyle;
    s.skin = skin;
    QApplication::setStyle(skin);

    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, Theme::kDialogBackground);
    // Disabled text keeps the style's grey.
    palette.setColor(QPalette::Active, QPalette::WindowText, Theme::kDialogText);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Theme::kDialogText);
    QApplication::setPalette(palette);
}

void RemoveSkin() {
    SkinState& s = State();
    if (!s.skin)
        return;
    // Setting the previous style back hands it to the application again and
    // deletes the skin.
    QApplication::setStyle(s.previousStyle ? s.previousStyle
                                           : QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(s.previousPalette);
    s.previousStyle = nullptr;
    s.skin.clear();
}

bool SkinInstalled() {
    return !State().skin.isNull();
}
