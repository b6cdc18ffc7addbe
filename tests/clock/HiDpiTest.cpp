// The face on high-density screens: the double pictures composed in image pixels, in the same
// places as at 1x, with detail of their own; and the window choosing them by its screen.
#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/DialU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"

#include <QFile>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const TTavik Dial{301, 245, 227};

TDialScene Scene(int second, int hour, int minute, bool daytime) {
    TDialScene s;
    s.Second = second;
    s.Hour = hour;
    s.Minute = minute;
    s.HasCurrentCity = true;
    s.CityCaption = QStringLiteral("Kathmandu");
    s.CityPos = QPoint(98, 241);
    s.CountryCaption = QStringLiteral("Nepal");
    s.CountryPos = QPoint(470, 241);
    s.CaptionFont = CaptionFont();
    s.Daytime = daytime;
    s.SunPos = QPoint(78, 245);
    s.MoonPos = QPoint(77, 245);
    LayOutCaptions(s);
    return s;
}

QImage Compose(const TDialScene& s, const TSkin& skin) {
    QImage img(600 * skin.Scale, 533 * skin.Scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(skin.Scale);
    img.fill(Qt::magenta);
    PaintDial(img, s, skin, Dial);
    return img;
}

// Of the 2 x 2 blocks of the image in a rectangle of window pixels, how many hold more than
// one colour: none where a 1x picture was merely enlarged.
double MixedBlocks(const QImage& fine, const QRect& r) {
    int mixed = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb a = fine.pixel(2 * x, 2 * y);
            mixed += a != fine.pixel(2 * x + 1, 2 * y) || a != fine.pixel(2 * x, 2 * y + 1) ||
                     a != fine.pixel(2 * x + 1, 2 * y + 1);
        }
    return static_cast<double>(mixed) / (r.width() * r.height());
}

// The mean of each channel over a rectangle of window pixels.
std::array<double, 3> Mean(const QImage& img, const QRect& r, int k) {
    std::array<double, 3> m{};
    for (int y = r.top() * k; y < (r.bottom() + 1) * k; ++y)
        for (int x = r.left() * k; x < (r.right() + 1) * k; ++x) {
            const QRgb c = img.pixel(x, y);
            m[0] += qRed(c);
            m[1] += qGreen(c);
            m[2] += qBlue(c);
        }
    for (double& v : m)
        v /= r.width() * r.height() * k * k;
    return m;
}

} // namespace

TEST(HiDpi, TheDoublePicturesAreTheSameSkinAtTwiceTheResolution) {
    const TSkin& one = TSkin::Standard();
    const TSkin& two = TSkin::StandardDouble();
    ASSERT_EQ(one.Double, &two);
    EXPECT_EQ(&one.ForPixelRatio(1), &one);
    EXPECT_EQ(&one.ForPixelRatio(1.25), &two);
    EXPECT_EQ(&one.ForPixelRatio(2), &two);
    EXPECT_EQ(two.Scale, 2);
    auto pairs = {std::pair(&one.TopLarge, &two.TopLarge),
                  {&one.TopSmall, &two.TopSmall},
                  {&one.BottomLarge, &two.BottomLarge},
                  {&one.BottomSmall, &two.BottomSmall},
                  {&one.Circle, &two.Circle},
                  {&one.InnerCircle, &two.InnerCircle},
                  {&one.Sun, &two.Sun},
                  {&one.Moon, &two.Moon},
                  {&one.Delta, &two.Delta}};
    for (const auto& [a, b] : pairs) {
        ASSERT_FALSE(b->isNull());
        EXPECT_EQ(b->size(), a->size() * 2);
        EXPECT_EQ(SizeOf(*b), a->size());
    }
    for (int h = 1; h <= 12; ++h)
        EXPECT_EQ(SizeOf(two.HourDigits[static_cast<std::size_t>(h)]),
                  one.HourDigits[static_cast<std::size_t>(h)].size())
            << h;
    // The circles' surround is as clear at 2x as at 1x.
    EXPECT_EQ(qAlpha(two.Circle.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(two.Circle.pixel(38, 38)), 255);
}

TEST(HiDpi, TheDoubleCompositionHasTheSameLayoutWithDetailOfItsOwn) {
    for (const bool day : {true, false}) {
        const TDialScene s = Scene(37, day ? 10 : 22, 23, day);
        const QImage one = Compose(s, TSkin::Standard());
        const QImage two = Compose(s, TSkin::StandardDouble());
        ASSERT_EQ(two.size(), QSize(1200, 1066));
        // Everything in the same place: every 6 x 6 patch, the seconds' ticks, the marker and
        // its digit, the names, has about the colour it has at 1x.
        const QRect area = ComposedArea(s, TSkin::Standard());
        double worst = 0;
        for (int y = 0; y + 6 <= area.height(); y += 6)
            for (int x = 0; x + 6 <= area.width(); x += 6) {
                const QRect patch(x, y, 6, 6);
                const auto a = Mean(one, patch, 1);
                const auto b = Mean(two, patch, 2);
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(a[c] - b[c]));
            }
        EXPECT_LT(worst, 48) << "day " << day;
        // And not merely enlarged: the marker, the digits on the hour scale, the names, a
        // second's tick, the sun or moon and the globe have pixels of their own.
        const QPoint marker = Dial.PointAt(39, 3.0 * 23);
        const struct {
            const char* What;
            QRect Where;
        } parts[] = {{"marker", QRect(marker - QPoint(19, 19), QSize(38, 38))},
                     {"hour scale", QRect(15, 300, 38, 38)},
                     {"city name", s.CityBox},
                     {"country name", s.CountryBox},
                     {"tick", Dial.SecondTickBox(7)},
                     {"sun or moon", QRect(78, 245, 18, 19)},
                     {"globe", QRect(250, 120, 100, 60)}};
        for (const auto& p : parts) {
            EXPECT_GT(MixedBlocks(two, p.Where), 0.12) << p.What << ", day " << day;
            const QImage doubled = one.scaled(one.size() * 2);
            EXPECT_EQ(MixedBlocks(doubled, p.Where), 0) << p.What;
        }
    }
}

TEST(HiDpi, RepaintingWhatChangedAtTwiceTheResolutionGivesTheFullComposition) {
    const TSkin& two = TSkin::StandardDouble();
    TDialScene shown = Scene(0, 9, 58, true);
    QImage img = Compose(shown, two);
    QPainter canvas(&img);
    // Through the minute into the hour, the day into the night, and jumps.
    const int steps[][3] = {{1, 9, 58},  {2, 9, 58},  {14, 9, 58}, {59, 9, 58}, {0, 9, 59},
                            {1, 9, 59},  {58, 9, 59}, {0, 10, 0},  {30, 10, 0}, {31, 17, 45},
                            {32, 20, 5}, {5, 3, 15},  {6, 3, 15}};
    for (const auto& st : steps) {
        const TDialScene next = Scene(st[0], st[1], st[2], st[1] >= 6 && st[1] < 18);
        TDirtyRects changed;
        RepaintDial(canvas, shown, next, two, Dial, changed);
        shown = next;
        const QImage afresh = Compose(next, two);
        canvas.end();
        ASSERT_EQ(img, afresh) << st[0] << " " << st[1] << ":" << st[2];
        canvas.begin(&img);
        // What changed lies in the rectangles, counted in window pixels.
        EXPECT_LE(changed.Bounds().right(), 599);
    }
}

// The real window on a screen of the scale QT_SCALE_FACTOR gives this executable.
TEST(HiDpi, TheWindowComposesForItsScreen) {
    TFakePlatform p;
    TryEncodeDateTime(2026, 12, 8, 4, 41, 27, 0, p.Now);
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm f(p.Platform, TSkin::Standard());
    ASSERT_FALSE(f.EndRequested());
    f.Data.CurrentCity = f.Data.Cities.FindById(2);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    const double ratio = f.devicePixelRatioF();
    const int k = ratio > 1 ? 2 : 1;
    f.RedrawDial();
    // 600 window pixels wide whatever the screen, the buffer at the pictures' scale.
    EXPECT_EQ(f.SkinImage->width(), 598);
    EXPECT_EQ(f.SkinImage->Buffer.size(), QSize(600, 533) * k);
    EXPECT_EQ(f.SkinImage->Buffer.devicePixelRatio(), k);
    QImage afresh(QSize(600, 533) * k, QImage::Format_RGB32);
    afresh.setDevicePixelRatio(k);
    afresh.fill(Qt::black);
    PaintDial(afresh, f.ShownScene, TSkin::Standard().ForPixelRatio(ratio), f.Dial);
    const QRect area = ComposedArea(f.ShownScene, TSkin::Standard());
    EXPECT_EQ(f.SkinImage->Buffer.copy(QRect(area.topLeft() * k, area.size() * k)),
              afresh.copy(QRect(area.topLeft() * k, area.size() * k)));
    // What reaches the screen has its resolution and, there, detail of its own.
    const QImage onScreen = f.SkinImage->grab().toImage();
    EXPECT_EQ(onScreen.width(), std::lround(598 * ratio));
    // The dial, where no label lies over the skin.
    const QRect dial(60, 40, 480, 190);
    auto onScreenPart = [&] {
        const QRectF r(dial.x() * ratio, dial.y() * ratio, dial.width() * ratio,
                       dial.height() * ratio);
        return onScreen.convertToFormat(QImage::Format_RGB32).copy(r.toRect());
    };
    if (ratio == 2) {
        EXPECT_EQ(onScreenPart(),
                  f.SkinImage->Buffer.copy(QRect(dial.topLeft() * 2, dial.size() * 2)));
    } else if (ratio > 1) {
        // Between two scales the double buffer is scaled down smoothly, and is sharper than the
        // 1x composition scaled up would be.
        const QImage part = onScreenPart();
        const QImage fromDouble =
            f.SkinImage->Buffer.copy(QRect(dial.topLeft() * 2, dial.size() * 2))
                .scaled(part.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage single(600, 533, QImage::Format_RGB32);
        PaintDial(single, f.ShownScene, TSkin::Standard(), f.Dial);
        const QImage fromSingle =
            single.copy(dial).scaled(part.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double apart = 0;
        auto edges = [](const QImage& img) {
            double sum = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x + 1 < img.width(); ++x)
                    sum += std::abs(qGray(img.pixel(x, y)) - qGray(img.pixel(x + 1, y)));
            return sum;
        };
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                apart += std::abs(qGray(part.pixel(x, y)) - qGray(fromDouble.pixel(x, y)));
        EXPECT_LT(apart / (part.width() * part.height()), 2.0);
        EXPECT_GT(edges(part), 1.15 * edges(fromSingle));
    }
    f.hide();
}
