#include "TestWorld.h"
#include "clock/CentreTextU.h"
#include "clock/ViewedTimeU.h"

#include <gtest/gtest.h>

namespace {

TDateTime Utc(int y, int mo, int d, int h, int mi, int s = 0) {
    TDateTime t = 0;
    TryEncodeDateTime(y, mo, d, h, mi, s, 0, t);
    return t;
}

TDateTime Later(TDateTime t, double seconds) {
    return IncDateTime(t, seconds / 86400.0);
}

const std::string Minus = "\xE2\x88\x92";

} // namespace

TEST(ViewedTime, StepsKeepTheirDistanceWhileTheClockRuns) {
    const TDateTime now = Utc(2026, 12, 8, 14, 7, 27);
    TViewedTime v;
    EXPECT_FALSE(v.Viewing());
    EXPECT_EQ(v.FaceInstant(now), now);

    EXPECT_TRUE(v.Step(3, false, now));
    EXPECT_EQ(v.OffsetSeconds(), 3 * 3600);
    EXPECT_TRUE(v.Step(-1, true, now));
    EXPECT_EQ(v.OffsetSeconds(), 3 * 3600 - 900);
    // A minute later the face is still 2 h 45 min ahead, to the millisecond.
    const TDateTime minuteOn = Later(now, 60);
    EXPECT_EQ(ToMilliseconds(v.FaceInstant(minuteOn)),
              ToMilliseconds(minuteOn) + (3 * 3600 - 900) * 1000);

    // Stepping back onto now is now again: no caption, nothing viewed.
    EXPECT_TRUE(v.Step(-11, true, minuteOn));
    EXPECT_FALSE(v.Viewing());
    EXPECT_EQ(v.FaceInstant(minuteOn), minuteOn);
    EXPECT_FALSE(v.BackToNow());

    EXPECT_TRUE(v.Step(-25, false, minuteOn));
    EXPECT_EQ(ViewedOffsetCaption(v.OffsetSeconds()), Minus + "1 d 1 h");
    EXPECT_TRUE(v.BackToNow());
    EXPECT_FALSE(v.Viewing());
}

TEST(ViewedTime, ReturnsToNowAfterTwoMinutesWithoutAStep) {
    const TDateTime now = Utc(2026, 12, 8, 14, 0);
    TViewedTime v;
    EXPECT_FALSE(v.ReturnWhenIdle(Later(now, 1000))); // nothing to return from
    v.Step(1, false, now);
    EXPECT_FALSE(v.ReturnWhenIdle(Later(now, 119.9)));
    // Another step starts the two minutes again.
    v.Step(1, false, Later(now, 100));
    EXPECT_FALSE(v.ReturnWhenIdle(Later(now, 200)));
    EXPECT_TRUE(v.ReturnWhenIdle(Later(now, 220)));
    EXPECT_FALSE(v.Viewing());

    // A Go to counts as a step too.
    v.GoTo(Later(now, 3600 * 5), Later(now, 300));
    EXPECT_FALSE(v.ReturnWhenIdle(Later(now, 400)));
    EXPECT_TRUE(v.ReturnWhenIdle(Later(now, 420)));

    // A system clock set back does not keep the face away for ever, nor send it back at once.
    v.Step(1, false, Later(now, 1000));
    EXPECT_FALSE(v.ReturnWhenIdle(now));
    EXPECT_FALSE(v.ReturnWhenIdle(Later(now, 119)));
    EXPECT_TRUE(v.ReturnWhenIdle(Later(now, 120)));
}

TEST(ViewedTime, GoToTakesTheSecondAndStopsAtTheCalendarsEnds) {
    const TDateTime now = Utc(2026, 12, 8, 14, 7, 27);
    TViewedTime v;
    EXPECT_TRUE(v.GoTo(Utc(2026, 12, 8, 15, 0), now));
    EXPECT_EQ(v.OffsetSeconds(), 52 * 60 + 33);
    EXPECT_EQ(ToMilliseconds(v.FaceInstant(now)), ToMilliseconds(Utc(2026, 12, 8, 15, 0)));
    EXPECT_EQ(ViewedOffsetCaption(v.OffsetSeconds()), "+53 min");
    // Steps from there keep the odd seconds.
    v.Step(1, true, now);
    EXPECT_EQ(v.OffsetSeconds(), 52 * 60 + 33 + 900);

    // Within half a minute of now is now.
    EXPECT_TRUE(v.GoTo(Later(now, 29), now));
    EXPECT_FALSE(v.Viewing());
    EXPECT_TRUE(v.GoTo(Later(now, -31), now));
    EXPECT_TRUE(v.Viewing());

    EXPECT_TRUE(v.GoTo(Utc(1800, 1, 1, 0, 0), now));
    EXPECT_EQ(ToMilliseconds(v.FaceInstant(now)), ToMilliseconds(FirstViewableInstant()));
    // Turning on past the last second of 9999 stays there.
    v.GoTo(Utc(9999, 12, 31, 22, 0), now);
    EXPECT_TRUE(v.Step(1, false, now));
    EXPECT_TRUE(v.Step(5, false, now)); // as far as it goes
    EXPECT_FALSE(v.Step(1, false, now));
    EXPECT_LE(v.FaceInstant(now), LastViewableInstant());
    TDateParts d;
    EXPECT_TRUE(TryDecodeDate(v.FaceInstant(now), d));
    EXPECT_EQ(d.Year, 9999);
}

TEST(ViewedTime, CaptionAndWords) {
    EXPECT_EQ(ViewedOffsetCaption(0), "");
    EXPECT_EQ(ViewedOffsetCaption(29), "");
    EXPECT_EQ(ViewedOffsetCaption(3 * 3600), "+3 h");
    EXPECT_EQ(ViewedOffsetCaption(-(26 * 3600)), Minus + "1 d 2 h");
    EXPECT_EQ(ViewedOffsetCaption(2 * 3600 + 45 * 60), "+2 h 45 min");
    EXPECT_EQ(ViewedOffsetCaption(-900), Minus + "15 min");
    EXPECT_EQ(ViewedOffsetCaption(48 * 3600), "+2 d");
    EXPECT_EQ(ViewedOffsetCaption(24 * 3600 + 60), "+1 d 1 min");
    EXPECT_EQ(ViewedOffsetCaption(2 * 3600 + 52 * 60 + 40), "+2 h 53 min"); // to the minute

    EXPECT_EQ(ViewedOffsetWords(0), "");
    EXPECT_EQ(ViewedOffsetWords(3 * 3600), "3 hours from now");
    EXPECT_EQ(ViewedOffsetWords(3600 + 60), "1 hour 1 minute from now");
    EXPECT_EQ(ViewedOffsetWords(-(26 * 3600)), "1 day 2 hours ago");
    EXPECT_EQ(ViewedOffsetWords(-900), "15 minutes ago");
    EXPECT_EQ(ViewedOffsetWords(-(2 * 86400 + 30 * 60)), "2 days 30 minutes ago");

    EXPECT_EQ(ViewedSpeech("18:00", 3 * 3600), "Showing 18:00, 3 hours from now");
    EXPECT_EQ(ViewedSpeech("18:00", 0), "");
}

TEST(ViewedTime, TheFaceSpeechSaysWhatItShows) {
    TCityList d;
    BuildTestWorld(d, 1);
    const TCity* berlin = d.Cities.FindById(5);
    const TLocaleFacts locale;
    const TDateTime local = Utc(2026, 12, 8, 18, 0);
    const TFaceSpeech now = FaceSpeech(d, berlin, local, false, 0, "", locale);
    const TFaceSpeech viewed = FaceSpeech(d, berlin, local, false, 0, "", locale, 3 * 3600);
    EXPECT_EQ(viewed.Name, now.Name);
    EXPECT_EQ(now.Description, "18:00, Tuesday 8 December 2026.");
    EXPECT_EQ(viewed.Description, "Showing 18:00, 3 hours from now, Tuesday 8 December 2026.");
    EXPECT_EQ(FaceSpeech(d, berlin, local, true, 0, "", locale, -3600).Description,
              "Showing 6:00 pm, 1 hour ago, Tuesday 8 December 2026.");
}
