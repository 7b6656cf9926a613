// Build-time painter of Vellumo's own pictures.
//
// Usage: makeartwork OUTPUT_DIR
// Writes mainimg.jpg, statusimg.jpg, splash.jpg, glyph-setup.png and
// glyph-search.png into OUTPUT_DIR. Everything is drawn from code so the
// pictures are reproducible and need no binary files in the repository.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <QTransform>
#include <QtMath>

#include <cstdio>
#include <vector>

namespace {

const char kSans[] = "Noto Sans CJK SC";

QColor rgb(unsigned v, int alpha = 255)
{
    return QColor((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff, alpha);
}

// Small deterministic generator: the pictures must not change between builds.
class Lcg
{
public:
    explicit Lcg(quint32 seed)
        : m_state(seed)
    {
    }
    qreal next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / qreal(1 << 24);
    }
    qreal range(qreal lo, qreal hi) { return lo + (hi - lo) * next(); }

private:
    quint32 m_state;
};

QFont font(const char *family, qreal pixelSize, int weight = QFont::Normal)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(qRound(pixelSize));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Three box passes approximate a Gaussian; enough for soft shadows and glows.
QImage blurred(const QImage &source, int radius)
{
    QImage img = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width();
    const int h = img.height();
    std::vector<int> acc(4);
    std::vector<QRgb> line(qMax(w, h));
    for (int pass = 0; pass < 3; ++pass) {
        for (int dir = 0; dir < 2; ++dir) {
            const int len = dir == 0 ? w : h;
            const int count = dir == 0 ? h : w;
            for (int k = 0; k < count; ++k) {
                auto px = [&](int i) -> QRgb & {
                    return dir == 0 ? reinterpret_cast<QRgb *>(img.scanLine(k))[i]
                                    : reinterpret_cast<QRgb *>(img.scanLine(i))[k];
                };
                for (int i = 0; i < len; ++i)
                    line[i] = px(i);
                const int span = 2 * radius + 1;
                int a = 0, r = 0, g = 0, b = 0;
                for (int i = -radius; i <= radius; ++i) {
                    const QRgb c = line[qBound(0, i, len - 1)];
                    a += qAlpha(c);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
                for (int i = 0; i < len; ++i) {
                    px(i) = qRgba(r / span, g / span, b / span, a / span);
                    const QRgb out = line[qBound(0, i - radius, len - 1)];
                    const QRgb in = line[qBound(0, i + radius + 1, len - 1)];
                    a += qAlpha(in) - qAlpha(out);
                    r += qRed(in) - qRed(out);
                    g += qGreen(in) - qGreen(out);
                    b += qBlue(in) - qBlue(out);
                }
            }
        }
    }
    return img;
}

// Four-pointed sparkle with slightly concave sides.
QPainterPath sparkle(QPointF c, qreal r, qreal body = 0.16)
{
    const qreal k = r * body;
    QPainterPath path;
    path.moveTo(c.x(), c.y() - r);
    path.quadTo(c.x() + k, c.y() - k, c.x() + r, c.y());
    path.quadTo(c.x() + k, c.y() + k, c.x(), c.y() + r);
    path.quadTo(c.x() - k, c.y() + k, c.x() - r, c.y());
    path.quadTo(c.x() - k, c.y() - k, c.x(), c.y() - r);
    path.closeSubpath();
    return path;
}

void glow(QPainter &p, QPointF c, qreal r, const QColor &colour)
{
    QRadialGradient g(c, r);
    QColor edge = colour;
    edge.setAlpha(0);
    g.setColorAt(0, colour);
    g.setColorAt(1, edge);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void drawSparkle(QPainter &p, QPointF c, qreal r, const QColor &colour, qreal glowAlpha)
{
    QColor halo = colour;
    halo.setAlphaF(glowAlpha);
    glow(p, c, r * 1.3, halo);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(sparkle(c, r));
}

// Draws words separated by small round dots; the CJK middle dot is full
// width and would waste the narrow column. Shrinks the font until it fits.
void drawDottedLine(
    QPainter &p, QPointF baseline, const QStringList &parts, QFont f, const QColor &colour, qreal maxWidth)
{
    const qreal gap = 11;
    auto width = [&](const QFont &font) {
        const QFontMetricsF fm(font);
        qreal total = gap * (parts.size() - 1);
        for (const QString &part : parts)
            total += fm.horizontalAdvance(part);
        return total;
    };
    while (width(f) > maxWidth && f.pixelSize() > 7)
        f.setPixelSize(f.pixelSize() - 1);
    const QFontMetricsF fm(f);
    p.setFont(f);
    qreal x = baseline.x();
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(QPointF(x + gap / 2, baseline.y() - fm.xHeight() / 2), 1.1, 1.1);
            x += gap;
        }
        p.setPen(colour);
        p.setBrush(Qt::NoBrush);
        p.drawText(QPointF(x, baseline.y()), parts[i]);
        x += fm.horizontalAdvance(parts[i]);
    }
}

// ---------------------------------------------------------------------------
// Background of the effect panel. Only the central 216x192 part shows, with
// black 12-pixel labels over it, so the picture stays light everywhere.
QImage paintMainImage()
{
    const int w = 329, h = 257;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient base(0, 0, w * 0.4, h);
    base.setColorAt(0.0, rgb(0xf7faff));
    base.setColorAt(0.55, rgb(0xeef4fb));
    base.setColorAt(1.0, rgb(0xe6eff9));
    p.fillRect(img.rect(), base);

    // Soft light from the upper left of the visible part.
    glow(p, QPointF(96, 44), 190, QColor(255, 255, 255, 170));

    // Diagonal lattice of tiny dots: a texture, not a picture, so labels win.
    p.setPen(Qt::NoPen);
    for (int row = 0; row * 11 < h + 11; ++row) {
        for (int col = 0; col * 11 < w + 11; ++col) {
            const qreal x = col * 11 + (row % 2 ? 5.5 : 0);
            const qreal y = row * 11;
            // Fade the dots towards the top so the first labels sit on calm ground.
            const qreal t = qBound<qreal>(0, (y - 20) / (h - 20), 1);
            p.setBrush(QColor(96, 134, 186, int(14 + 30 * t)));
            p.drawEllipse(QPointF(x, y), 0.85, 0.85);
        }
    }

    // Flowing ribbons low in the panel, pale enough to stay behind text.
    struct Ribbon
    {
        qreal y0, y1, y2, y3, width;
        QColor colour;
    };
    const Ribbon ribbons[] = {
        { 196, 150, 238, 176, 22, QColor(120, 170, 225, 32) },
        { 206, 170, 226, 190, 10, QColor(90, 190, 200, 42) },
        { 214, 186, 240, 200, 3, QColor(110, 120, 210, 60) },
        { 186, 158, 214, 168, 1.6, QColor(90, 140, 210, 70) },
    };
    for (const Ribbon &r : ribbons) {
        QPainterPath path;
        path.moveTo(-10, r.y0);
        path.cubicTo(110, r.y1, 210, r.y2, w + 10, r.y3);
        QPen pen(r.colour, r.width, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    // Quiet concentric arcs in the corner as a decorative signature.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(100, 140, 200, 26 - i * 3), 1.2));
        const qreal r = 28 + i * 13;
        p.drawEllipse(QPointF(286, 40), r, r);
    }

    // A few faint sparkles hint at "effects".
    drawSparkle(p, QPointF(250, 64), 7, QColor(255, 255, 255, 230), 0.5);
    drawSparkle(p, QPointF(236, 82), 3.5, QColor(150, 180, 230, 90), 0.0);
    drawSparkle(p, QPointF(262, 206), 4.5, QColor(150, 180, 230, 80), 0.0);

    p.end();
    return img;
}

// ---------------------------------------------------------------------------
// Status strip: stretched to about 700x20, so it changes only vertically
// except for a very slow hue drift.
QImage paintStatusImage()
{
    const int w = 352, h = 75;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);

    QLinearGradient body(0, 0, 0, h);
    body.setColorAt(0.00, rgb(0xc3cedb)); // separator line after scaling
    body.setColorAt(0.05, rgb(0xc3cedb));
    body.setColorAt(0.06, rgb(0xffffff)); // highlight just under it
    body.setColorAt(0.18, rgb(0xf7f9fc));
    body.setColorAt(0.85, rgb(0xe6ecf4));
    body.setColorAt(0.94, rgb(0xdde5ef));
    body.setColorAt(1.00, rgb(0xd3dce8));
    p.fillRect(img.rect(), body);

    QLinearGradient drift(0, 0, w, 0);
    drift.setColorAt(0.0, QColor(120, 160, 220, 20));
    drift.setColorAt(0.5, QColor(255, 255, 255, 0));
    drift.setColorAt(1.0, QColor(150, 120, 210, 18));
    p.fillRect(QRect(0, 5, w, h - 5), drift);

    p.end();
    return img;
}

// ---------------------------------------------------------------------------
// Browser window on the splash, in its own coordinates (0,0)-(w,h).
void drawBrowserCard(QPainter &p, qreal w, qreal h)
{
    const QRectF frame(0, 0, w, h);
    QPainterPath outline;
    outline.addRoundedRect(frame, 6, 6);

    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0xffffff));
    p.drawPath(outline);

    p.save();
    p.setClipPath(outline);
    QLinearGradient bar(0, 0, 0, 15);
    bar.setColorAt(0, rgb(0xf3f6fa));
    bar.setColorAt(1, rgb(0xdfe6ef));
    p.fillRect(QRectF(0, 0, w, 15), bar);
    p.fillRect(QRectF(0, 15, w, 0.8), rgb(0xc9d3df));
    p.restore();

    const QColor dots[] = { rgb(0xef5f5f), rgb(0xf6b93b), rgb(0x4cbf6b) };
    for (int i = 0; i < 3; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(QPointF(8 + i * 6.5, 7.5), 2.2, 2.2);
    }
    p.setBrush(rgb(0xffffff));
    p.setPen(QPen(rgb(0xc5cfdb), 0.8));
    p.drawRoundedRect(QRectF(29, 4.2, w - 36, 6.6), 3.3, 3.3);
    p.setPen(Qt::NoPen);

    // Hero banner with a sunset gradient and a sparkle on it.
    const QRectF hero(7, 21, w - 14, 27);
    QLinearGradient heroFill(hero.topLeft(), hero.bottomRight());
    heroFill.setColorAt(0, rgb(0xffcf66));
    heroFill.setColorAt(0.55, rgb(0xff9462));
    heroFill.setColorAt(1, rgb(0xf2668b));
    p.setBrush(heroFill);
    p.drawRoundedRect(hero, 3, 3);
    p.save();
    p.setClipRect(hero);
    p.setBrush(QColor(255, 255, 255, 70));
    QPainterPath hill;
    hill.moveTo(hero.left(), hero.bottom());
    hill.cubicTo(
        hero.left() + 30, hero.bottom() - 16, hero.left() + 58, hero.bottom() - 2, hero.right(), hero.bottom() - 14);
    hill.lineTo(hero.right(), hero.bottom());
    hill.closeSubpath();
    p.drawPath(hill);
    p.restore();
    drawSparkle(p, QPointF(hero.right() - 14, hero.top() + 9), 5.5, QColor(255, 255, 255, 240), 0.6);

    // Lines of "text".
    p.setBrush(rgb(0x5b6b82));
    p.drawRoundedRect(QRectF(7, 53, 52, 3.6), 1.8, 1.8);
    p.setBrush(rgb(0xc6cfdb));
    const qreal widths[] = { w - 14, w - 26, w - 18 };
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(7, 60 + i * 5.5, widths[i], 2.6), 1.3, 1.3);

    // Two thumbnails.
    const qreal tw = (w - 18) / 2;
    QLinearGradient t1(7, 78, 7 + tw, 92);
    t1.setColorAt(0, rgb(0x5ad1c8));
    t1.setColorAt(1, rgb(0x2f8fd0));
    p.setBrush(t1);
    p.drawRoundedRect(QRectF(7, 78, tw, h - 84), 2.5, 2.5);
    QLinearGradient t2(11 + tw, 78, 11 + 2 * tw, 92);
    t2.setColorAt(0, rgb(0xa58cf0));
    t2.setColorAt(1, rgb(0x6a4fd0));
    p.setBrush(t2);
    p.drawRoundedRect(QRectF(11 + tw, 78, tw, h - 84), 2.5, 2.5);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 60, 110, 60), 0.8));
    p.drawPath(outline);
}

// Splash and about picture. The strip x 192..336, y 67..79 carries a black
// label drawn by the program, so nothing but the light ground goes there.
QImage paintSplash()
{
    const int w = 346, h = 262;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    // Light ground for the right half.
    QLinearGradient ground(0, 0, 0, h);
    ground.setColorAt(0, rgb(0xfcfdff));
    ground.setColorAt(1, rgb(0xeaf1f9));
    p.fillRect(img.rect(), ground);

    // Pale waves along the bottom echo the art panel's lower wave.
    {
        QPainterPath back;
        back.moveTo(150, 236);
        back.cubicTo(220, 214, 280, 246, w, 222);
        back.lineTo(w, h);
        back.lineTo(150, h);
        back.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 68, 188, 16));
        p.drawPath(back);
        QPainterPath front;
        front.moveTo(150, 246);
        front.cubicTo(230, 232, 290, 258, w, 238);
        front.lineTo(w, h);
        front.lineTo(150, h);
        front.closeSubpath();
        p.setBrush(QColor(23, 162, 191, 26));
        p.drawPath(front);
    }

    // Faint dot texture in the lower right only, well away from the label.
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 9; ++row) {
        for (int col = 0; col < 12; ++col) {
            const qreal x = 232 + col * 9 + (row % 2 ? 4.5 : 0);
            const qreal y = 204 + row * 9;
            const qreal fade = qBound<qreal>(0, (x - 232) / 110.0, 1) * qBound<qreal>(0, (y - 200) / 60.0, 1);
            p.setBrush(QColor(80, 110, 180, int(8 + 50 * fade)));
            p.drawEllipse(QPointF(x, y), 1.0, 1.0);
        }
    }

    // Coloured art panel on the left with a flowing edge.
    QPainterPath panel;
    panel.moveTo(0, 0);
    panel.lineTo(176, 0);
    panel.cubicTo(150, 70, 196, 170, 158, h);
    panel.lineTo(0, h);
    panel.closeSubpath();

    // Soft shadow of the edge onto the light ground.
    {
        QImage shadow(img.size(), QImage::Format_ARGB32_Premultiplied);
        shadow.fill(Qt::transparent);
        QPainter sp(&shadow);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(30, 50, 110, 90));
        sp.drawPath(panel.translated(3, 0));
        sp.end();
        p.drawImage(0, 0, blurred(shadow, 4));
    }

    QLinearGradient art(0, 0, 180, h);
    art.setColorAt(0.00, rgb(0x1f4fa6));
    art.setColorAt(0.50, rgb(0x5640b4));
    art.setColorAt(1.00, rgb(0x1496b5));
    p.setBrush(art);
    p.drawPath(panel);

    p.save();
    p.setClipPath(panel);
    // Bokeh: translucent circles give depth without drawing attention.
    Lcg rnd(20240611u);
    for (int i = 0; i < 22; ++i) {
        const QPointF c(rnd.range(-10, 190), rnd.range(-10, h + 10));
        const qreal r = rnd.range(4, 24);
        const int a = int(rnd.range(10, 34));
        QRadialGradient b(c, r);
        b.setColorAt(0.0, QColor(255, 255, 255, a));
        b.setColorAt(0.8, QColor(255, 255, 255, a));
        b.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(b);
        p.drawEllipse(c, r, r);
    }
    // Sheen across the top left.
    glow(p, QPointF(30, 20), 150, QColor(255, 255, 255, 46));
    // Lower wave for a second layer of colour.
    QPainterPath wave;
    wave.moveTo(0, 206);
    wave.cubicTo(50, 186, 110, 236, 190, 204);
    wave.lineTo(190, h);
    wave.lineTo(0, h);
    wave.closeSubpath();
    p.setBrush(QColor(20, 190, 200, 50));
    p.drawPath(wave);
    p.restore();

    // Thin highlight following the panel edge.
    {
        QPainterPath edge;
        edge.moveTo(176, 0);
        edge.cubicTo(150, 70, 196, 170, 158, h);
        QLinearGradient edgeFill(0, 0, 0, h);
        edgeFill.setColorAt(0, QColor(120, 200, 255, 200));
        edgeFill.setColorAt(1, QColor(170, 140, 255, 200));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QBrush(edgeFill), 1.6));
        p.drawPath(edge.translated(5, 0));
    }

    // Browser window, tilted, with a blurred shadow.
    const qreal cardW = 118, cardH = 96;
    QTransform place;
    place.translate(86, 120);
    place.rotate(-7);
    place.translate(-cardW / 2, -cardH / 2);
    {
        QImage shadow(img.size(), QImage::Format_ARGB32_Premultiplied);
        shadow.fill(Qt::transparent);
        QPainter sp(&shadow);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setTransform(place * QTransform::fromTranslate(3, 6));
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(10, 20, 60, 120));
        sp.drawRoundedRect(QRectF(0, 0, cardW, cardH), 6, 6);
        sp.end();
        p.drawImage(0, 0, blurred(shadow, 5));
    }
    p.save();
    p.setTransform(place);
    drawBrowserCard(p, cardW, cardH);
    p.restore();

    // Magic wand with a trail of glitter that ends on the page.
    {
        const QPointF tip(56, 198), end(24, 238);
        p.setPen(QPen(QColor(10, 20, 50, 110), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(tip + QPointF(1.5, 2), end + QPointF(1.5, 2));
        p.setPen(QPen(rgb(0x1b1f2e), 4.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(tip, end);
        const QPointF dir = (tip - end) / QLineF(end, tip).length();
        p.setPen(QPen(rgb(0xffffff), 4.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(tip, tip - dir * 7);
        drawSparkle(p, tip + dir * 3, 9, rgb(0xfff1a8), 0.55);

        QPainterPath trail;
        trail.moveTo(tip + dir * 6);
        trail.cubicTo(QPointF(70, 150), QPointF(120, 150), QPointF(150, 74));
        Lcg glitter(77u);
        for (int i = 0; i <= 26; ++i) {
            const qreal t = i / 26.0;
            const QPointF c = trail.pointAtPercent(t) + QPointF(glitter.range(-4, 4), glitter.range(-4, 4));
            const qreal r = 0.6 + 1.4 * glitter.next();
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 244, 190, int(120 + 120 * glitter.next())));
            p.drawEllipse(c, r, r);
        }
    }
    drawSparkle(p, QPointF(150, 70), 13, rgb(0xffffff), 0.45);
    drawSparkle(p, QPointF(28, 48), 7, rgb(0xffe58a), 0.5);
    drawSparkle(p, QPointF(140, 196), 5.5, rgb(0xffffff), 0.5);
    drawSparkle(p, QPointF(22, 140), 3.5, QColor(255, 255, 255, 200), 0.0);
    drawSparkle(p, QPointF(120, 28), 4, QColor(255, 255, 255, 200), 0.0);

    // ---- Right column --------------------------------------------------
    const qreal left = 194;

    // Emblem: rounded square with a stylised V and a sparkle.
    {
        const QRectF box(left, 20, 34, 34);
        QImage shadow(img.size(), QImage::Format_ARGB32_Premultiplied);
        shadow.fill(Qt::transparent);
        QPainter sp(&shadow);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(30, 50, 120, 80));
        sp.drawRoundedRect(box.translated(0, 2), 8, 8);
        sp.end();
        p.drawImage(0, 0, blurred(shadow, 2));

        QLinearGradient fill(box.topLeft(), box.bottomRight());
        fill.setColorAt(0, rgb(0x2a62c4));
        fill.setColorAt(0.6, rgb(0x5a44bc));
        fill.setColorAt(1, rgb(0x17a2bf));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(box, 8, 8);
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawRoundedRect(QRectF(box.left() + 2, box.top() + 2, box.width() - 4, 13), 6, 6);

        QPainterPath v;
        v.moveTo(box.left() + 9, box.top() + 10);
        v.lineTo(box.center().x(), box.bottom() - 8);
        v.lineTo(box.right() - 9, box.top() + 10);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(rgb(0xffffff), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(v);
        drawSparkle(p, QPointF(box.right() - 6, box.top() + 6), 4.5, rgb(0xfff1a8), 0.0);
    }
    // Header rule running from the emblem to the edge.
    {
        QLinearGradient rule(left + 42, 0, w, 0);
        rule.setColorAt(0, QColor(90, 110, 200, 150));
        rule.setColorAt(1, QColor(90, 110, 200, 0));
        p.fillRect(QRectF(left + 42, 37, w - left - 42, 1.2), rule);
        drawDottedLine(p, QPointF(left + 42, 32),
            { QStringLiteral("HTML"), QStringLiteral("CSS"), QStringLiteral("JavaScript") }, font(kSans, 10),
            rgb(0x7a86a0), w - left - 46);
    }

    // Program name, sized to the column width, filled with the brand gradient.
    {
        QFont nameFont = font(kSans, 40, QFont::Bold);
        const QString name = QStringLiteral("Vellumo");
        while (QFontMetricsF(nameFont).horizontalAdvance(name) > w - left - 10)
            nameFont.setPixelSize(nameFont.pixelSize() - 1);
        QPainterPath text;
        text.addText(QPointF(left - 2, 128), nameFont, name);

        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 40, 100, 40));
        p.drawPath(text.translated(0, 1.6));
        QLinearGradient nameFill(left, 92, left + 130, 128);
        nameFill.setColorAt(0, rgb(0x1d4fa8));
        nameFill.setColorAt(0.7, rgb(0x5a3fb8));
        nameFill.setColorAt(1, rgb(0x7a3fb0));
        p.setBrush(nameFill);
        p.drawPath(text);
    }

    // Chinese subtitle and accent bar.
    {
        QFont sub = font(kSans, 17, QFont::Bold);
        sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
        p.setFont(sub);
        p.setPen(rgb(0x34405a));
        p.drawText(QPointF(left, 154), QStringLiteral("网页特效编辑器"));

        QLinearGradient bar(left, 0, left + 44, 0);
        bar.setColorAt(0, rgb(0x17a2bf));
        bar.setColorAt(1, rgb(0x6a45c4));
        p.setPen(Qt::NoPen);
        p.setBrush(bar);
        p.drawRoundedRect(QRectF(left, 165, 44, 3.2), 1.6, 1.6);

        drawDottedLine(p, QPointF(left, 188), { QStringLiteral("所见即所得"), QStringLiteral("即时预览") },
            font(kSans, 11), rgb(0x6b7890), w - left - 8);
    }

    p.end();
    return img;
}

// ---------------------------------------------------------------------------
// 16x16 glyphs in the Tango palette so they sit well beside the image list.
QImage paintGlyphSetup()
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const QPointF end(2.2, 13.8), tip(9.6, 6.4);
    p.setPen(QPen(rgb(0x2e3436), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(end, tip);
    p.setPen(QPen(rgb(0x888a85), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(end, tip);
    p.setPen(QPen(rgb(0xffffff), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.2, 7.8), tip);

    p.setPen(QPen(rgb(0xc4a000), 0.9));
    p.setBrush(rgb(0xfce94f));
    p.drawPath(sparkle(QPointF(11.6, 4.4), 4.0, 0.26));
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0xf57900));
    p.drawPath(sparkle(QPointF(4.6, 3.4), 2.2, 0.22));
    p.drawPath(sparkle(QPointF(13.8, 10.6), 2.0, 0.22));
    p.end();
    return img;
}

QImage paintGlyphSearch()
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const QPointF c(6.5, 6.5);
    p.setPen(QPen(rgb(0x2e3436), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.0, 10.0), QPointF(14.2, 14.2));
    p.setPen(QPen(rgb(0x8f5902), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.0, 11.0), QPointF(14.0, 14.0));

    QRadialGradient lens(c - QPointF(1.5, 1.5), 5.5);
    lens.setColorAt(0, QColor(255, 255, 255, 240));
    lens.setColorAt(1, QColor(114, 159, 207, 200));
    p.setBrush(lens);
    p.setPen(QPen(rgb(0x555753), 1.6));
    p.drawEllipse(c, 4.6, 4.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - 3, c.y() - 3, 6, 6), 100 * 16, 70 * 16);
    p.end();
    return img;
}

bool save(const QImage &img, const QString &path, const char *format)
{
    QImageWriter writer(path, format);
    if (qstrcmp(format, "jpg") == 0) {
        writer.setQuality(90);
        writer.setOptimizedWrite(true);
    }
    // The painted backgrounds are opaque; JPEG only needs the alpha dropped.
    const QImage out = qstrcmp(format, "jpg") == 0 ? img.convertToFormat(QImage::Format_RGB32) : img;
    if (!writer.write(out)) {
        std::fprintf(stderr, "makeartwork: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

// An image list: "VIL1", then count, width and height as little-endian 32-bit numbers, then each
// picture's premultiplied ARGB pixels. The program shows it without decoding anything, which
// spares its start-up the image reader's search through every picture plug-in.
static bool writeImageList(const QString &out, const QList<QImage> &images)
{
    QByteArray bytes("VIL1");
    const auto put = [&bytes](quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes.append(char((v >> (8 * i)) & 0xFF));
    };
    const QSize size = images.isEmpty() ? QSize() : images.first().size();
    put(quint32(images.size()));
    put(quint32(size.width()));
    put(quint32(size.height()));
    for (const QImage &image : images) {
        if (image.size() != size) {
            std::fprintf(stderr, "makeartwork: pictures of an image list must be of one size\n");
            return false;
        }
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                put(quint32(reinterpret_cast<const QRgb *>(argb.constScanLine(y))[x]));
    }
    QFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "makeartwork: cannot write %s\n", qPrintable(out));
        return false;
    }
    return true;
}

// The program's icon, as data/desktop/vellumo.svg draws it on its 256-unit grid.
static QImage paintAppIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient back(0, 16, 0, 240);
    back.setColorAt(0, QColor(0x3d, 0x8b, 0xfd));
    back.setColorAt(1, QColor(0x1b, 0x4f, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 44, 44);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(60, 52, 120, 152), 10, 10);
    QPen code(QColor(0x1b, 0x4f, 0xa8), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(code);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({ QPointF(100, 102), QPointF(78, 128), QPointF(100, 154) }));
    p.drawPolyline(QPolygonF({ QPointF(140, 102), QPointF(162, 128), QPointF(140, 154) }));
    p.drawLine(QPointF(128, 98), QPointF(112, 158));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd4, 0x3b));
    p.drawPolygon(QPolygonF({ QPointF(196, 40), QPointF(204, 64), QPointF(228, 72), QPointF(204, 80), QPointF(196, 104),
        QPointF(188, 80), QPointF(164, 72), QPointF(188, 64) }));
    return icon;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    if (argc >= 3 && qstrcmp(argv[1], "--image-list") == 0) {
        QList<QImage> images;
        for (int i = 3; i < argc; ++i) {
            QImage image(QString::fromLocal8Bit(argv[i]));
            if (image.isNull()) {
                std::fprintf(stderr, "makeartwork: cannot read %s\n", argv[i]);
                return 1;
            }
            images.append(image);
        }
        return writeImageList(QString::fromLocal8Bit(argv[2]), images) ? 0 : 1;
    }

    if (argc == 4 && qstrcmp(argv[1], "--app-icon") == 0) {
        const int size = QByteArray(argv[2]).toInt();
        return size > 0 && paintAppIcon(size).save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }

    if (argc != 2) {
        std::fprintf(stderr, "usage: makeartwork OUTPUT_DIR | --image-list OUT PNG... | --app-icon SIZE OUT\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "makeartwork: cannot create %s\n", argv[1]);
        return 1;
    }
    // Chinese text on the splash would turn into boxes without this font.
    if (!QFontDatabase::families().contains(QString::fromLatin1(kSans))) {
        std::fprintf(stderr,
            "makeartwork: font \"%s\" not found; install the Debian package "
            "fonts-noto-cjk\n",
            kSans);
        return 1;
    }

    const QDir dir(outDir);
    bool ok = true;
    ok &= save(paintMainImage(), dir.filePath(QStringLiteral("mainimg.jpg")), "jpg");
    ok &= save(paintStatusImage(), dir.filePath(QStringLiteral("statusimg.jpg")), "jpg");
    ok &= save(paintSplash(), dir.filePath(QStringLiteral("splash.jpg")), "jpg");
    ok &= save(paintGlyphSetup(), dir.filePath(QStringLiteral("glyph-setup.png")), "png");
    ok &= save(paintGlyphSearch(), dir.filePath(QStringLiteral("glyph-search.png")), "png");
    return ok ? 0 : 1;
}
