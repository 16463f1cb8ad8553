#include "themes.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

namespace {

const QList<Theme>& Themes() {
    static const QList<Theme> themes{
        {"roses", QColor("#FBE3E8"), QColor("#F1AFC0"), QColor("#C8546E"), QColor("#FBEFF2"),
         QColor("#E7A3B5"), QColor("#B5475F")},
        {"silk", QColor("#FBF7EE"), QColor("#E6D8BC"), QColor("#C9B27C"), QColor("#F7F1E3"),
         QColor("#D9C69B"), QColor("#A8905A")},
        {"petals", QColor("#F2EAF8"), QColor("#D2BEEA"), QColor("#9B7BC4"), QColor("#F4EEF9"),
         QColor("#B9A2DA"), QColor("#7D5EA8")},
        {"stars", QColor("#7CC8F0"), QColor("#D7F0FB"), QColor("#FFD23F"), QColor("#FFF6D5"),
         QColor("#FF8C42"), QColor("#3A86FF")},
        {"balloons", QColor("#FFF7D6"), QColor("#FFE0A0"), QColor("#FF5D73"), QColor("#FFFBEA"),
         QColor("#4CC9F0"), QColor("#F72585")},
        {"stripes", QColor("#34363D"), QColor("#15161A"), QColor("#BFC3CC"), QColor("#1E1F24"),
         QColor("#3A3C44"), QColor("#D7D9DE")},
        {"leaves", QColor("#E8F5E4"), QColor("#B3DAA9"), QColor("#4F8A4B"), QColor("#F1F8EE"),
         QColor("#7DB874"), QColor("#3E6E3A")},
        {"linen", QColor("#F6EBDD"), QColor("#E0CAAD"), QColor("#B07A47"), QColor("#FAF3EA"),
         QColor("#C89B6D"), QColor("#8B5A2B")},
        {"wood", QColor("#A8774E"), QColor("#74492C"), QColor("#F5E6C8"), QColor("#EFE2CC"),
         QColor("#5C3B22"), QColor("#F5E6C8")},
    };
    return themes;
}

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

void Rose(QPainter& p, QPointF at, double r, const QColor& c) {
    for (int ring = 0; ring < 4; ++ring) {
        const double rr = r * (1.0 - ring * 0.22);
        const int petals = 5;
        p.setBrush(WithAlpha(ring % 2 ? c.lighter(115) : c, 150));
        for (int i = 0; i < petals; ++i) {
            const double a = qDegreesToRadians(i * 360.0 / petals + ring * 31.0);
            p.drawEllipse(at + QPointF(std::cos(a), std::sin(a)) * rr * 0.45, rr * 0.55, rr * 0.55);
        }
    }
}

void FivePointStar(QPainter& p, QPointF c, double r) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = qDegreesToRadians(-90.0 + i * 36.0);
        const double f = (i % 2) ? 0.42 : 1.0;
        const QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * r * f;
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.drawPath(path);
}

void Cloud(QPainter& p, QPointF c, double r) {
    p.drawEllipse(c, r, r * 0.6);
    p.drawEllipse(c + QPointF(-r * 0.8, r * 0.15), r * 0.6, r * 0.45);
    p.drawEllipse(c + QPointF(r * 0.8, r * 0.15), r * 0.65, r * 0.45);
}

void Leaf(QPainter& p, QPointF c, double r, double angle) {
    p.save();
    p.translate(c);
    p.rotate(angle);
    QPainterPath leaf;
    leaf.moveTo(-r, 0);
    leaf.quadTo(0, -r * 0.55, r, 0);
    leaf.quadTo(0, r * 0.55, -r, 0);
    p.drawPath(leaf);
    p.restore();
}

// The motif of each theme, scattered with a fixed seed so that the same
// description always gives the same art.
void DrawMotif(QPainter& p, const Theme& t, double w, double h) {
    QRandomGenerator rng(qHash(t.name));
    const double m = std::min(w, h);
    auto rx = [&] { return rng.bounded(w); };
    auto ry = [&] { return rng.bounded(h); };
    p.setPen(Qt::NoPen);
    if (t.name == "roses") {
        for (int i = 0; i < 26; ++i)
            Rose(p, QPointF(rx(), ry()), m * (0.03 + rng.bounded(0.05)), t.accent.lighter(150));
    } else if (t.name == "silk") {
        for (int i = 0; i < 7; ++i) {
            const double x = w * (i / 6.0) - w * 0.3;
            QLinearGradient sheen(x, 0, x + w * 0.35, h);
            sheen.setColorAt(0, WithAlpha(Qt::white, 0));
            sheen.setColorAt(0.5, WithAlpha(Qt::white, 90));
            sheen.setColorAt(1, WithAlpha(Qt::white, 0));
            QPainterPath band;
            band.moveTo(x, 0);
            band.lineTo(x + w * 0.12, 0);
            band.lineTo(x + w * 0.5, h);
            band.lineTo(x + w * 0.38, h);
            band.closeSubpath();
            p.fillPath(band, sheen);
        }
    } else if (t.name == "petals") {
        for (int i = 0; i < 60; ++i) {
            p.setBrush(WithAlpha(i % 3 ? t.accent.lighter(140) : Qt::white, 120));
            p.save();
            p.translate(rx(), ry());
            p.rotate(rng.bounded(360));
            const double r = m * (0.012 + rng.bounded(0.02));
            p.drawEllipse(QPointF(0, 0), r, r * 0.55);
            p.restore();
        }
    } else if (t.name == "stars") {
        p.setBrush(WithAlpha(Qt::white, 200));
        for (int i = 0; i < 6; ++i)
            Cloud(p, QPointF(rx(), ry() * 0.8), m * (0.05 + rng.bounded(0.04)));
        for (int i = 0; i < 30; ++i) {
            p.setBrush(i % 4 ? t.accent : QColor("#FF8C42"));
            FivePointStar(p, QPointF(rx(), ry()), m * (0.012 + rng.bounded(0.025)));
        }
    } else if (t.name == "balloons") {
        const QList<QColor> colours{QColor("#FF5D73"), QColor("#4CC9F0"), QColor("#FFD23F"),
                                    QColor("#7BD389"), QColor("#B388EB")};
        for (int i = 0; i < 18; ++i) {
            const QPointF c(rx(), ry());
            const double r = m * (0.03 + rng.bounded(0.03));
            p.setPen(QPen(WithAlpha(QColor(90, 90, 90), 150), std::max(1.0, m * 0.002)));
            p.drawLine(c + QPointF(0, r * 1.2), c + QPointF(r * 0.3, r * 3.5));
            p.setPen(Qt::NoPen);
            p.setBrush(WithAlpha(colours[i % colours.size()], 200));
            p.drawEllipse(c, r, r * 1.2);
            p.setBrush(WithAlpha(Qt::white, 110));
            p.drawEllipse(c + QPointF(-r * 0.35, -r * 0.45), r * 0.22, r * 0.3);
        }
    } else if (t.name == "stripes") {
        for (int i = -8; i < 20; ++i) {
            const double x = i * w / 12.0;
            QPainterPath s;
            s.moveTo(x, 0);
            s.lineTo(x + w * 0.018, 0);
            s.lineTo(x + w * 0.018 + h * 0.6, h);
            s.lineTo(x + h * 0.6, h);
            s.closeSubpath();
            p.fillPath(s, WithAlpha(t.accent, i % 3 ? 22 : 45));
        }
    } else if (t.name == "leaves") {
        for (int i = 0; i < 45; ++i) {
            p.setBrush(WithAlpha(i % 2 ? t.accent : t.accent.lighter(140), 110));
            Leaf(p, QPointF(rx(), ry()), m * (0.025 + rng.bounded(0.03)), rng.bounded(360));
        }
    } else if (t.name == "linen") {
        p.setPen(QPen(WithAlpha(t.accent, 28), std::max(1.0, m * 0.0015)));
        const double step = m / 160.0;
        for (double y = 0; y < h; y += step)
            p.drawLine(QPointF(0, y), QPointF(w, y + rng.bounded(step)));
        for (double x = 0; x < w; x += step * 1.3)
            p.drawLine(QPointF(x, 0), QPointF(x + rng.bounded(step), h));
        p.setPen(Qt::NoPen);
    } else if (t.name == "wood") {
        const int planks = 7;
        const double ph = h / planks;
        for (int i = 0; i < planks; ++i) {
            p.fillRect(QRectF(0, i * ph, w, ph), WithAlpha(i % 2 ? Qt::black : Qt::white, 14));
            p.setPen(QPen(WithAlpha(t.bottom.darker(140), 90), std::max(1.0, m * 0.002)));
            p.drawLine(QPointF(0, i * ph), QPointF(w, i * ph));
            p.setPen(QPen(WithAlpha(t.bottom.darker(125), 45), std::max(1.0, m * 0.0012)));
            for (int g = 0; g < 5; ++g) {
                QPainterPath grain;
                const double y = i * ph + ph * (0.15 + 0.17 * g);
                grain.moveTo(0, y);
                for (double x = 0; x < w; x += w / 8)
                    grain.quadTo(x + w / 16, y + rng.bounded(ph * 0.12) - ph * 0.06, x + w / 8, y);
                p.drawPath(grain);
            }
        }
        p.setPen(Qt::NoPen);
    }
}

} // namespace

const Theme* ThemeForBackground(const QString& fileName) {
    const QString name = QFileInfo(fileName).completeBaseName();
    for (const Theme& t : Themes()) {
        if (t.name == name)
            return &t;
    }
    return nullptr;
}

QImage DrawBackground(const Theme& theme, QSizeF page, QSize image) {
    QImage out(image, QImage::Format_RGB32);
    const double w = page.width();
    const double h = page.height();
    const QRectF all(0, 0, w, h);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(image.width() / w, image.height() / h);
    QLinearGradient base(0, 0, w * 0.3, h);
    base.setColorAt(0, theme.top);
    base.setColorAt(1, theme.bottom);
    p.fillRect(all, base);
    DrawMotif(p, theme, w, h);
    // A soft light from the upper left gives the paper some depth.
    QRadialGradient light(QPointF(w * 0.3, h * 0.25), std::max(w, h) * 0.8);
    light.setColorAt(0, WithAlpha(Qt::white, 60));
    light.setColorAt(1, WithAlpha(Qt::white, 0));
    p.fillRect(all, light);
    return out;
}
