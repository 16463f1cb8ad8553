#include "scene.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kSkin(241, 199, 165);

enum class Dress { Gown, Suit, Child };

struct Figure {
    double x;      // centre, fraction of the width
    double height; // fraction of the image height
    Dress dress;
    QColor clothes;
    QColor hair;
};

struct Scene {
    QColor skyTop, skyBottom, ground, groundFar;
    double horizon; // fraction of the height
    bool sun;
    bool studio;
    QList<Figure> figures;
};

Scene SceneFor(int variant) {
    const QColor dark(40, 30, 25);
    const QColor brown(110, 70, 40);
    switch (variant % kSceneCount) {
    case 0: // couple on the beach
        return {QColor("#5DB7DE"),
                QColor("#DFF3FA"),
                QColor("#F2D7A0"),
                QColor("#2E86AB"),
                0.62,
                true,
                false,
                {{0.42, 0.62, Dress::Gown, QColor("#FFFFFF"), dark},
                 {0.58, 0.68, Dress::Suit, QColor("#26324A"), dark}}};
    case 1: // bride at dusk
        return {QColor("#F08A7E"),
                QColor("#FCE3D6"),
                QColor("#B98A94"),
                QColor("#D9A5A8"),
                0.66,
                true,
                false,
                {{0.5, 0.8, Dress::Gown, QColor("#FFFDF8"), brown}}};
    case 2: // child on a meadow
        return {QColor("#7FC4F2"),
                QColor("#E8F6FF"),
                QColor("#6DB85B"),
                QColor("#9AD17F"),
                0.6,
                true,
                false,
                {{0.5, 0.5, Dress::Child, QColor("#E63946"), brown}}};
    case 3: // family at sunset
        return {QColor("#F38B2E"),
                QColor("#FDE3B5"),
                QColor("#7C9550"),
                QColor("#A4B86A"),
                0.64,
                true,
                false,
                {{0.27, 0.66, Dress::Suit, QColor("#3D5A80"), dark},
                 {0.43, 0.38, Dress::Child, QColor("#2A9D8F"), dark},
                 {0.57, 0.42, Dress::Child, QColor("#E9C46A"), brown},
                 {0.73, 0.61, Dress::Gown, QColor("#C8553D"), brown}}};
    case 4: // studio portrait
        return {QColor("#A9AFB7"),
                QColor("#5A5F66"),
                QColor("#3F4349"),
                QColor("#4A4E55"),
                0.78,
                false,
                true,
                {{0.5, 0.74, Dress::Gown, QColor("#1B998B"), dark}}};
    default: // two children in the park
        return {QColor("#56B9B3"),
                QColor("#DDF5F2"),
                QColor("#93C86A"),
                QColor("#B4DA8C"),
                0.6,
                false,
                false,
                {{0.38, 0.46, Dress::Child, QColor("#F4A261"), dark},
                 {0.62, 0.5, Dress::Child, QColor("#8E7DBE"), brown}}};
    }
}

void DrawFigure(QPainter& p, const Figure& f, double w, double h, double groundY) {
    // Sized by the height, but in a tall frame by the width so that a group
    // still fits side by side.
    const double fh = f.height * std::min(h, w * 1.2); // feet to top of the head
    const double cx = f.x * w;
    const double headR = fh * (f.dress == Dress::Child ? 0.1 : 0.075);
    const double headY = groundY - fh + headR;
    const double shoulderY = headY + headR * 1.55;
    const double shoulderW = fh * (f.dress == Dress::Child ? 0.26 : 0.25);
    p.setPen(Qt::NoPen);

    // Long hair falls behind the shoulders of a gown.
    if (f.dress == Dress::Gown) {
        p.setBrush(f.hair);
        p.drawRoundedRect(QRectF(cx - headR * 1.2, headY - headR * 0.9, headR * 2.4, headR * 3.1),
                          headR, headR);
    }
    // Arms.
    p.setBrush(f.dress == Dress::Suit ? f.clothes.darker(115) : kSkin);
    const double armW = shoulderW * 0.2;
    const double armL = fh * 0.36;
    p.drawRoundedRect(QRectF(cx - shoulderW / 2 - armW * 0.6, shoulderY, armW, armL), armW / 2,
                      armW / 2);
    p.drawRoundedRect(QRectF(cx + shoulderW / 2 - armW * 0.4, shoulderY, armW, armL), armW / 2,
                      armW / 2);
    // Body.
    QPainterPath body;
    if (f.dress == Dress::Gown) {
        const double hemW = fh * 0.55;
        body.moveTo(cx - shoulderW / 2, shoulderY);
        body.lineTo(cx + shoulderW / 2, shoulderY);
        body.lineTo(cx + shoulderW * 0.3, shoulderY + fh * 0.2);
        body.quadTo(cx + hemW * 0.45, groundY - fh * 0.2, cx + hemW / 2, groundY);
        body.lineTo(cx - hemW / 2, groundY);
        body.quadTo(cx - hemW * 0.45, groundY - fh * 0.2, cx - shoulderW * 0.3,
                    shoulderY + fh * 0.2);
        body.closeSubpath();
        p.fillPath(body, f.clothes);
    } else {
        const double legTop = shoulderY + fh * (f.dress == Dress::Child ? 0.3 : 0.36);
        const double legW = shoulderW * 0.36;
        const QColor legs = f.dress == Dress::Suit ? f.clothes : QColor("#34495E");
        p.setBrush(legs);
        p.drawRect(QRectF(cx - shoulderW * 0.42, legTop - 2, legW, groundY - legTop + 2));
        p.drawRect(QRectF(cx + shoulderW * 0.42 - legW, legTop - 2, legW, groundY - legTop + 2));
        p.setBrush(f.clothes);
        p.drawRoundedRect(QRectF(cx - shoulderW / 2, shoulderY, shoulderW, legTop - shoulderY),
                          shoulderW * 0.15, shoulderW * 0.15);
        if (f.dress == Dress::Suit) {
            p.setBrush(Qt::white);
            QPainterPath shirt;
            shirt.moveTo(cx - shoulderW * 0.14, shoulderY);
            shirt.lineTo(cx + shoulderW * 0.14, shoulderY);
            shirt.lineTo(cx, shoulderY + fh * 0.12);
            shirt.closeSubpath();
            p.drawPath(shirt);
        }
        // Shoes.
        p.setBrush(QColor(30, 30, 30));
        p.drawEllipse(QRectF(cx - shoulderW * 0.5, groundY - legW * 0.35, legW * 1.3, legW * 0.6));
        p.drawEllipse(QRectF(cx + shoulderW * 0.5 - legW * 1.3, groundY - legW * 0.35, legW * 1.3,
                             legW * 0.6));
    }
    // Neck and head, hair on top.
    p.setBrush(kSkin);
    p.drawRect(QRectF(cx - headR * 0.35, headY + headR * 0.6, headR * 0.7, headR * 1.0));
    p.drawEllipse(QPointF(cx, headY), headR, headR * 1.08);
    p.setBrush(f.hair);
    QPainterPath hair;
    hair.addEllipse(QPointF(cx, headY - headR * 0.35), headR * 1.05, headR * 0.8);
    QPainterPath face;
    face.addEllipse(QPointF(cx, headY + headR * 0.25), headR * 0.9, headR * 0.8);
    p.drawPath(hair.subtracted(face));
    // Eyes and a smile, so the face has a clear up and down.
    p.setBrush(QColor(40, 30, 30));
    p.drawEllipse(QPointF(cx - headR * 0.35, headY + headR * 0.1), headR * 0.1, headR * 0.12);
    p.drawEllipse(QPointF(cx + headR * 0.35, headY + headR * 0.1), headR * 0.1, headR * 0.12);
    p.setPen(QPen(QColor(170, 60, 60), headR * 0.08, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(cx - headR * 0.4, headY + headR * 0.15, headR * 0.8, headR * 0.5), 200 * 16,
              140 * 16);
    p.setPen(Qt::NoPen);
}

} // namespace

void DrawScene(QImage& image, int variant) {
    const Scene s = SceneFor(variant);
    const double w = image.width();
    const double h = image.height();
    const double groundY = h * s.horizon;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    if (s.studio) {
        QRadialGradient backdrop(QPointF(w * 0.5, h * 0.4), std::max(w, h) * 0.7);
        backdrop.setColorAt(0, s.skyTop);
        backdrop.setColorAt(1, s.skyBottom);
        p.fillRect(QRectF(0, 0, w, h), backdrop);
    } else {
        QLinearGradient sky(0, 0, 0, groundY);
        sky.setColorAt(0, s.skyTop);
        sky.setColorAt(1, s.skyBottom);
        p.fillRect(QRectF(0, 0, w, groundY), sky);
    }
    if (s.sun) {
        const QPointF sunAt(w * 0.8, h * 0.2);
        const double r = std::min(w, h) * 0.09;
        QRadialGradient glow(sunAt, r * 2.5);
        glow.setColorAt(0, QColor(255, 250, 220, 230));
        glow.setColorAt(0.4, QColor(255, 240, 180, 120));
        glow.setColorAt(1, QColor(255, 240, 180, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(sunAt, r * 2.5, r * 2.5);
        p.setBrush(QColor(255, 246, 200));
        p.drawEllipse(sunAt, r, r);
    }
    // A far band (sea, hills or the studio wall's foot) and the ground.
    QLinearGradient ground(0, groundY, 0, h);
    ground.setColorAt(0, s.ground.lighter(110));
    ground.setColorAt(1, s.ground.darker(125));
    if (!s.studio) {
        QPainterPath far;
        far.moveTo(0, groundY);
        far.cubicTo(w * 0.3, groundY - h * 0.08, w * 0.6, groundY - h * 0.02, w,
                    groundY - h * 0.06);
        far.lineTo(w, groundY + 1);
        far.lineTo(0, groundY + 1);
        far.closeSubpath();
        p.fillPath(far, s.groundFar);
    }
    p.fillRect(QRectF(0, groundY, w, h - groundY), ground);

    // The figures stand a little below the horizon; their shadows ground them.
    const double feetY = groundY + (h - groundY) * 0.55;
    for (const Figure& f : s.figures) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 50));
        const double fh = f.height * std::min(h, w * 1.2);
        p.drawEllipse(QPointF(f.x * w, feetY), fh * 0.22, fh * 0.03);
    }
    for (const Figure& f : s.figures)
        DrawFigure(p, f, w, h, feetY);
}

QImage MakeScene(QSize size, int variant) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    DrawScene(image, variant);
    return image;
}
