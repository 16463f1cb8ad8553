#include "overlays.h"

#include <QFileInfo>
#include <QPainter>
#include <QRadialGradient>

namespace {

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QString StyleOf(const QString& fileName) {
    return QFileInfo(fileName).completeBaseName();
}

void DrawMat(QPainter& p, const Theme& t, double w, double h) {
    p.fillRect(QRectF(0, 0, w, h), t.mat);
    // Fine diagonal hatching makes the mat read as paper.
    const double m = std::min(w, h);
    p.setPen(QPen(WithAlpha(t.frame, 45), std::max(1.0, m * 0.0015)));
    const double step = m / 70.0;
    for (double x = -h; x < w; x += step)
        p.drawLine(QPointF(x, 0), QPointF(x + h, h));
    p.setPen(QPen(t.line, std::max(1.0, m * 0.003)));
    p.setBrush(Qt::NoBrush);
    const double inset = m * 0.025;
    p.drawRect(QRectF(inset, inset, w - 2 * inset, h - 2 * inset));
}

void CornerOrnament(QPainter& p, QPointF c, double r, const Theme& t) {
    p.setPen(Qt::NoPen);
    p.setBrush(t.accent);
    p.drawEllipse(c, r, r);
    p.setBrush(t.mat);
    p.drawEllipse(c, r * 0.62, r * 0.62);
    p.setBrush(t.line);
    p.drawEllipse(c, r * 0.3, r * 0.3);
}

void DrawFrame(QPainter& p, const Theme& t, double w, double h) {
    const double m = std::min(w, h);
    const double band = m * 0.045;
    QPainterPath outer;
    outer.addRect(QRectF(0, 0, w, h));
    QPainterPath inner;
    inner.addRect(QRectF(band, band, w - 2 * band, h - 2 * band));
    p.fillPath(outer.subtracted(inner), t.frame);
    p.setPen(QPen(t.line, std::max(1.0, m * 0.003)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(band * 0.45, band * 0.45, w - band * 0.9, h - band * 0.9));
    p.drawRect(QRectF(band, band, w - 2 * band, h - 2 * band));
    const double r = band * 1.3;
    for (QPointF c : {QPointF(band, band), QPointF(w - band, band), QPointF(w - band, h - band),
                      QPointF(band, h - band)})
        CornerOrnament(p, c, r, t);
}

void DrawLace(QPainter& p, const Theme& t, double w, double h) {
    const double m = std::min(w, h);
    const double band = m * 0.05;
    const QColor lace = WithAlpha(Qt::white, 205);
    QPainterPath edge;
    edge.addRect(QRectF(0, 0, w, h));
    QPainterPath inner;
    inner.addRect(QRectF(band, band, w - 2 * band, h - 2 * band));
    edge = edge.subtracted(inner);
    // Scallops along the inside of the band.
    const double r = band * 0.45;
    QPainterPath scallops;
    for (double x = band; x <= w - band; x += r * 1.8) {
        scallops.addEllipse(QPointF(x, band), r, r);
        scallops.addEllipse(QPointF(x, h - band), r, r);
    }
    for (double y = band; y <= h - band; y += r * 1.8) {
        scallops.addEllipse(QPointF(band, y), r, r);
        scallops.addEllipse(QPointF(w - band, y), r, r);
    }
    scallops.setFillRule(Qt::WindingFill);
    p.fillPath(edge.united(scallops), lace);
    // Lace holes: small clear dots along the band.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const double hole = band * 0.12;
    for (double x = band * 0.5; x < w; x += band * 0.6) {
        p.drawEllipse(QPointF(x, band * 0.5), hole, hole);
        p.drawEllipse(QPointF(x, h - band * 0.5), hole, hole);
    }
    for (double y = band * 1.1; y < h - band; y += band * 0.6) {
        p.drawEllipse(QPointF(band * 0.5, y), hole, hole);
        p.drawEllipse(QPointF(w - band * 0.5, y), hole, hole);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(WithAlpha(t.line, 160), std::max(1.0, m * 0.002)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(band * 1.6, band * 1.6, w - band * 3.2, h - band * 3.2));
}

void DrawVignette(QPainter& p, const Theme& t, double w, double h) {
    const QPointF centre(w / 2, h / 2);
    QRadialGradient shade(centre, std::hypot(w, h) / 2);
    shade.setColorAt(0, WithAlpha(t.bottom, 0));
    shade.setColorAt(0.55, WithAlpha(t.bottom, 0));
    shade.setColorAt(1, WithAlpha(t.bottom.darker(160), 200));
    p.fillRect(QRectF(0, 0, w, h), shade);
    const double m = std::min(w, h);
    const double inset = m * 0.03;
    p.setPen(QPen(WithAlpha(t.accent, 200), std::max(1.0, m * 0.003)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(inset, inset, w - 2 * inset, h - 2 * inset));
}

} // namespace

bool IsKnownOverlay(const QString& fileName) {
    static const QStringList known{"mat", "frame", "lace", "vignette"};
    return known.contains(StyleOf(fileName));
}

QImage DrawOverlay(const QString& fileName, const Theme& theme, QSizeF page, QSize image,
                   const QList<OverlayWindow>& windows) {
    QImage out(image, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const double w = page.width();
    const double h = page.height();
    const QString style = StyleOf(fileName);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(image.width() / w, image.height() / h);
    if (style == "mat")
        DrawMat(p, theme, w, h);
    else if (style == "frame")
        DrawFrame(p, theme, w, h);
    else if (style == "lace")
        DrawLace(p, theme, w, h);
    else
        DrawVignette(p, theme, w, h);

    p.setCompositionMode(QPainter::CompositionMode_Clear);
    for (const OverlayWindow& win : windows)
        p.fillPath(win.inner, Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (style == "mat") {
        p.setPen(QPen(theme.line, std::max(1.0, std::min(w, h) * 0.0025)));
        p.setBrush(Qt::NoBrush);
        for (const OverlayWindow& win : windows)
            p.drawPath(win.outer);
    }
    return out;
}
