#include "clock/DialU.h"

#include "clock/SkinU.h"
#include "data/FormatU.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <tuple>

QPoint TTavik::PointAt(int inset, double angle) const {
    const int r = Radius - inset;
    const double t = angle * std::numbers::pi / 180.0;
    const int x = CentreX - static_cast<int>(std::trunc(std::cos(t) * r));
    const int y = CentreY - static_cast<int>(std::trunc(std::sin(t) * r));
    return {x, y};
}

QPointF TTavik::ExactPointAt(int inset, double angle) const {
    const double r = Radius - inset;
    const double t = angle * std::numbers::pi / 180.0;
    return {CentreX + 0.5 - std::cos(t) * r, CentreY + 0.5 - std::sin(t) * r};
}

namespace {

bool FineCanvas(const QPainter& canvas) {
    return canvas.device() != nullptr && canvas.device()->devicePixelRatio() > 1;
}

// Pens and brushes made once: making them allocates, and the tick is to allocate nothing.
const QPen& TickPen() {
    static const QPen pen(Qt::black, 1);
    return pen;
}

// The box around some points, with a pixel to spare for the rasteriser's rounding.
QRect BoxAround(std::initializer_list<QPoint> points) {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const QPoint& p : points) {
        left = std::min(left, p.x());
        top = std::min(top, p.y());
        right = std::max(right, p.x());
        bottom = std::max(bottom, p.y());
    }
    return QRect(QPoint(left - 1, top - 1), QPoint(right + 1, bottom + 1));
}

} // namespace

void TTavik::DrawSecondTicks(QPainter& canvas, int second) const {
    canvas.setPen(TickPen());
    for (int s = 1; s <= second; ++s)
        DrawSecondTick(canvas, s);
}

void TTavik::DrawSecondTick(QPainter& canvas, int second) const {
    const int v = 3 * second;
    if (v % 5 != 0) { // the skin marks every fifth second itself
        if (!FineCanvas(canvas)) {
            canvas.drawLine(PointAt(10, v), PointAt(0, v));
            return;
        }
        canvas.setRenderHint(QPainter::Antialiasing);
        canvas.drawLine(QLineF(ExactPointAt(10, v), ExactPointAt(0, v)));
        canvas.setRenderHint(QPainter::Antialiasing, false);
    }
}

QRect TTavik::SecondTickBox(int second) const {
    return BoxAround({PointAt(10, 3 * second), PointAt(0, 3 * second)});
}

void TTavik::DrawMinuteHand(QPainter& canvas, double a) const {
    static const QPen pen(PointerColour(), 1);
    static const QBrush brush(PointerColour());
    canvas.setPen(pen);
    canvas.setBrush(brush);
    if (FineCanvas(canvas)) {
        const QPointF pts[3] = {ExactPointAt(23, a - 2), ExactPointAt(23, a + 2),
                                ExactPointAt(13, a)};
        canvas.setRenderHint(QPainter::Antialiasing);
        canvas.drawPolygon(pts, 3);
        canvas.setRenderHint(QPainter::Antialiasing, false);
    } else {
        const QPoint pts[3] = {PointAt(23, a - 2), PointAt(23, a + 2), PointAt(13, a)};
        canvas.drawPolygon(pts, 3);
    }
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(TickPen());
}

QRect TTavik::MinuteHandBox(double a) const {
    return BoxAround({PointAt(23, a - 2), PointAt(23, a + 2), PointAt(13, a)});
}

void DrawInCircle(QPainter& canvas, const QImage& circle, const QImage& digit, int left, int top) {
    const QSize c = SizeOf(circle);
    const QSize d = SizeOf(digit);
    canvas.drawImage(QPoint(left, top), circle);
    canvas.drawImage(
        QPoint(left + c.width() / 2 - d.width() / 2, top + c.height() / 2 - d.height() / 2), digit);
}

QFont CaptionFont() {
    QFont f(QStringLiteral("Palatino Linotype"));
    f.setPixelSize(19);
    f.setBold(true);
    return f;
}

QFont HourScaleFont() {
    QFont f(QStringLiteral("Palatino Linotype"));
    f.setPixelSize(16); // 12 points on a 96 dpi desktop
    f.setBold(true);
    return f;
}

QColor TextColour() {
    return QColor(39, 100, 146);
}
QColor PointerColour() {
    return QColor(4, 75, 129);
}

bool TDialScene::SameLayout(const TDialScene& o) const {
    return AnalogClock == o.AnalogClock && ShowSeconds == o.ShowSeconds &&
           ShowCities == o.ShowCities && ShowCountryName == o.ShowCountryName &&
           HasCurrentCity == o.HasCurrentCity && CityCaption == o.CityCaption &&
           CityPos == o.CityPos && CountryCaption == o.CountryCaption &&
           CountryPos == o.CountryPos && CaptionFont == o.CaptionFont && SunPos == o.SunPos &&
           MoonPos == o.MoonPos && CityBox == o.CityBox && CountryBox == o.CountryBox;
}

void LayOutCaptions(TDialScene& s) {
    const QFontMetrics fm(s.CaptionFont);
    // The ink of the text with its advance and line height, and a margin for antialiasing.
    auto box = [&fm](QPoint at, const QString& text) {
        if (text.isEmpty())
            return QRect();
        const QRect ink = fm.boundingRect(text).translated(at.x(), at.y() + fm.ascent());
        const QRect line(at, QSize(fm.horizontalAdvance(text), fm.height()));
        return (ink | line).adjusted(-3, -3, 3, 3);
    };
    s.CityBox = box(s.CityPos, s.CityCaption);
    s.CountryBox = box(s.CountryPos, s.CountryCaption);
}

void TDirtyRects::Add(const QRect& r) {
    if (r.isEmpty())
        return;
    if (Count_ == Capacity) {
        Rects[0] = Bounds() | r;
        Count_ = 1;
        return;
    }
    Rects[static_cast<std::size_t>(Count_++)] = r;
}

bool TDirtyRects::Intersects(const QRect& r) const {
    for (int i = 0; i < Count_; ++i)
        if ((*this)[i].intersects(r))
            return true;
    return false;
}

bool TDirtyRects::Contains(const QRect& r) const {
    for (int i = 0; i < Count_; ++i)
        if ((*this)[i].contains(r))
            return true;
    return false;
}

QRect TDirtyRects::Bounds() const {
    QRect b;
    for (int i = 0; i < Count_; ++i)
        b |= (*this)[i];
    return b;
}

QRect ComposedArea(const TDialScene& s, const TSkin& skin) {
    const QSize top = SizeOf(s.AnalogClock ? skin.TopLarge : skin.TopSmall);
    const QSize bottom = SizeOf(s.ShowCities ? skin.BottomLarge : skin.BottomSmall);
    return QRect(0, 0, top.width(), top.height() + bottom.height());
}

namespace {

// What the skin pictures carry, in the order it is painted.
enum class TPieceKind { SecondTick, CityName, CountryName, SunOrMoon, Marker, HourScale };

struct TPiece {
    TPieceKind Kind;
    int Content; // what is drawn there: the second, the hour and minute, day or night
    QRect Box;   // every pixel it may touch
};

// 48 ticks and five more pieces.
using TPieces = std::array<TPiece, 56>;

int Pieces(const TDialScene& s, const TSkin& skin, const TTavik& dial, TPieces& out) {
    int n = 0;
    auto add = [&](TPieceKind kind, int content, QRect box) {
        out[static_cast<std::size_t>(n++)] = TPiece{kind, content, box};
    };
    // Smooth lines on a finer canvas reach a pixel further.
    const int fine = skin.Scale > 1 ? 1 : 0;
    if (s.AnalogClock && s.ShowSeconds)
        for (int second = 1; second <= s.Second && second < 60; ++second)
            if (second % 5 != 0)
                add(TPieceKind::SecondTick, second,
                    dial.SecondTickBox(second).adjusted(-fine, -fine, fine, fine));
    if (s.HasCurrentCity) {
        add(TPieceKind::CityName, 0, s.CityBox);
        if (s.ShowCountryName)
            add(TPieceKind::CountryName, 0, s.CountryBox);
        add(TPieceKind::SunOrMoon, s.Daytime,
            s.Daytime ? QRect(s.SunPos, SizeOf(skin.Sun)) : QRect(s.MoonPos, SizeOf(skin.Moon)));
    }
    const int h12 = Hour12(s.Hour);
    if (s.AnalogClock) {
        const QPoint pt = dial.PointAt(39, 3.0 * s.Minute);
        const QSize c = SizeOf(skin.Circle);
        const QRect circle(pt.x() - c.width() / 2, pt.y() - c.height() / 2, c.width(), c.height());
        const QSize digit = SizeOf(skin.HourDigits[static_cast<std::size_t>(h12)]);
        const QRect digitBox(circle.left() + circle.width() / 2 - digit.width() / 2,
                             circle.top() + circle.height() / 2 - digit.height() / 2, digit.width(),
                             digit.height());
        add(TPieceKind::Marker, h12 * 100 + s.Minute,
            circle | digitBox |
                dial.MinuteHandBox(3.0 * s.Minute).adjusted(-fine, -fine, fine, fine));
        const int w = c.width();
        add(TPieceKind::HourScale, h12,
            QRect(15, 300, (w + 15) * 10 + w, c.height()).adjusted(-3, -3, 3, 3));
    } else {
        // The texts of a 16 pixel font from top 79, with room to spare on every side.
        add(TPieceKind::HourScale, h12 * 100 + s.Minute, QRect(0, 79 - 6, 600, 40));
    }
    return n;
}

void DrawCaption(QPainter& p, const TDialScene& s, QPoint at, const QString& caption) {
    static const QPen pen(TextColour());
    p.setFont(s.CaptionFont);
    p.setPen(pen);
    const QFontMetrics fm(s.CaptionFont);
    p.drawText(at.x(), at.y() + fm.ascent(), caption);
}

void DrawPiece(QPainter& p, const TPiece& piece, const TDialScene& s, const TSkin& skin,
               const TTavik& dial) {
    const int h12 = Hour12(s.Hour);
    const QSize c = SizeOf(skin.Circle);
    const int w = c.width();
    switch (piece.Kind) {
    case TPieceKind::SecondTick:
        p.setPen(TickPen());
        dial.DrawSecondTick(p, piece.Content);
        break;
    case TPieceKind::CityName:
        DrawCaption(p, s, s.CityPos, s.CityCaption);
        break;
    case TPieceKind::CountryName:
        DrawCaption(p, s, s.CountryPos, s.CountryCaption);
        break;
    case TPieceKind::SunOrMoon:
        if (s.Daytime)
            p.drawImage(s.SunPos, skin.Sun);
        else
            p.drawImage(s.MoonPos, skin.Moon);
        break;
    case TPieceKind::Marker: {
        const QPoint pt = dial.PointAt(39, 3.0 * s.Minute);
        const int left = pt.x() - c.width() / 2;
        const int topY = pt.y() - c.height() / 2;
        const QImage& digit = skin.HourDigits[static_cast<std::size_t>(h12)];
        DrawInCircle(p, skin.Circle, digit, left, topY);
        dial.DrawMinuteHand(p, 3.0 * s.Minute);
        DrawInCircle(p, skin.InnerCircle, digit, left, topY);
        break;
    }
    case TPieceKind::HourScale:
        if (s.AnalogClock) {
            for (int i = 1; i <= 11; ++i)
                DrawInCircle(p, skin.Circle,
                             skin.HourDigits[static_cast<std::size_t>(Hour12(s.Hour + i))],
                             15 + (w + 15) * (i - 1), 300);
        } else {
            static const QPen pen(TextColour());
            const QFont f = HourScaleFont();
            const QFontMetrics fm(f);
            p.setFont(f);
            p.setPen(pen);
            const QString minutes = QStringLiteral("%1").arg(s.Minute, 2, 10, QLatin1Char('0'));
            for (int i = 1; i <= 11; ++i)
                p.drawText(13 + (w + 15) * (i - 1), 79 + fm.ascent(),
                           QString::number(Hour12(s.Hour + i)) + QLatin1Char(':') + minutes);
        }
        break;
    }
}

bool SamePiece(const TPiece& a, const TPiece& b) {
    return a.Kind == b.Kind && a.Content == b.Content && a.Box == b.Box;
}

} // namespace

void PaintDial(QImage& buffer, const TDialScene& s, const TSkin& skin, const TTavik& dial) {
    QPainter p(&buffer);
    PaintDial(p, s, skin, dial);
}

void PaintDial(QPainter& p, const TDialScene& s, const TSkin& skin, const TTavik& dial) {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage& top = s.AnalogClock ? skin.TopLarge : skin.TopSmall;
    p.drawImage(QPoint(0, 0), top);
    p.drawImage(QPoint(0, SizeOf(top).height()),
                s.ShowCities ? skin.BottomLarge : skin.BottomSmall);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    TPieces pieces;
    const int n = Pieces(s, skin, dial, pieces);
    for (int i = 0; i < n; ++i)
        DrawPiece(p, pieces[static_cast<std::size_t>(i)], s, skin, dial);
}

void RepaintDial(QPainter& p, const TDialScene& shown, const TDialScene& s, const TSkin& skin,
                 const TTavik& dial, TDirtyRects& changed) {
    const QRect area = ComposedArea(s, skin);
    if (!shown.SameLayout(s)) {
        PaintDial(p, s, skin, dial);
        changed.Add(area);
        return;
    }

    // The pieces that went, came or changed: both lists run in painting order, the ticks
    // first and ascending, so one walk pairs them up.
    TPieces before, after;
    const int nb = Pieces(shown, skin, dial, before);
    const int na = Pieces(s, skin, dial, after);
    auto key = [](const TPiece& p) {
        return p.Kind == TPieceKind::SecondTick ? p.Content : 100 + static_cast<int>(p.Kind);
    };
    for (int i = 0, j = 0; i < nb || j < na;) {
        const TPiece* b = i < nb ? &before[static_cast<std::size_t>(i)] : nullptr;
        const TPiece* a = j < na ? &after[static_cast<std::size_t>(j)] : nullptr;
        if (b && a && key(*b) == key(*a)) {
            if (!SamePiece(*b, *a)) {
                changed.Add(b->Box);
                changed.Add(a->Box);
            }
            ++i;
            ++j;
        } else if (b && (!a || key(*b) < key(*a))) {
            changed.Add(b->Box);
            ++i;
        } else {
            changed.Add(a->Box);
            ++j;
        }
    }
    if (changed.Count() == 0)
        return;

    // A piece that reaches into a changed rectangle is painted again whole, so its whole box
    // is recomposed too; repeated until no piece reaches out of the rectangles.
    std::array<bool, std::tuple_size_v<TPieces>> again{};
    for (bool grown = true; grown;) {
        grown = false;
        for (int j = 0; j < na; ++j) {
            const QRect& box = after[static_cast<std::size_t>(j)].Box;
            if (again[static_cast<std::size_t>(j)] || !changed.Intersects(box))
                continue;
            again[static_cast<std::size_t>(j)] = true;
            if (!changed.Contains(box)) {
                changed.Add(box);
                grown = true;
            }
        }
    }

    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage& top = s.AnalogClock ? skin.TopLarge : skin.TopSmall;
    const QImage& bottom = s.ShowCities ? skin.BottomLarge : skin.BottomSmall;
    const QSize topSize = SizeOf(top);
    const QRect topArea(QPoint(0, 0), topSize);
    const QRect bottomArea(QPoint(0, topSize.height()), SizeOf(bottom));
    // A rectangle of the window in the picture's own pixels.
    const int k = skin.Scale;
    auto copy = [&p, k](const QRect& to, const QImage& from, const QRect& part) {
        if (k == 1)
            p.drawImage(to.topLeft(), from, part);
        else
            p.drawImage(to, from, QRect(part.topLeft() * k, part.size() * k));
    };
    for (int i = 0; i < changed.Count(); ++i) {
        const QRect t = changed[i] & topArea;
        if (!t.isEmpty())
            copy(t, top, t);
        const QRect b = changed[i] & bottomArea;
        if (!b.isEmpty())
            copy(b, bottom, b.translated(0, -topSize.height()));
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int j = 0; j < na; ++j)
        if (again[static_cast<std::size_t>(j)])
            DrawPiece(p, after[static_cast<std::size_t>(j)], s, skin, dial);
}
