#include "data/AnsiTextU.h"
#include "data/FormatU.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    TDateTime t = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, 0, t));
    return t;
}

} // namespace

TEST(Format, GeneralNumbers) {
    const TLocaleFacts dot;
    EXPECT_EQ("5.5", FormatGeneral(5.5, dot));
    EXPECT_EQ("10", FormatGeneral(10, dot));
    EXPECT_EQ("-3.5", FormatGeneral(-3.5, dot));
    EXPECT_EQ("0", FormatGeneral(0, dot));
    EXPECT_EQ("5.75", FormatGeneral(5.75, dot));
    EXPECT_EQ("-99", FormatGeneral(-99, dot));
    EXPECT_EQ("0.3", FormatGeneral(0.1 + 0.2, dot)) << "15 digits hide the binary error";
    EXPECT_EQ("0.333333333333333", FormatGeneral(1.0 / 3, dot));
    EXPECT_EQ("-6.66666666666667", FormatGeneral(-20.0 / 3, dot));
    EXPECT_EQ("100000000000000", FormatGeneral(1e14, dot));
    EXPECT_EQ("1E15", FormatGeneral(1e15, dot));
    EXPECT_EQ("1E20", FormatGeneral(1e20, dot));
    EXPECT_EQ("1.5E-7", FormatGeneral(1.5e-7, dot));
    EXPECT_EQ("0.00001", FormatGeneral(0.00001, dot));
    EXPECT_EQ("1E-6", FormatGeneral(0.000001, dot));
    TLocaleFacts comma;
    comma.DecimalSeparator = ',';
    EXPECT_EQ("-3,5", FormatGeneral(-3.5, comma));
    EXPECT_EQ("0,00001", FormatGeneral(0.00001, comma));
}

TEST(Format, FractionCodesAndHours) {
    const double offsets[] = {-0.75, -0.5, -0.25, 0, 0.25, 0.5, 0.75};
    const char* const marks[] = {"-\xBE", "-\xBD", "-\xBC", "", "+\xBC", "+\xBD", "+\xBE"};
    for (int code = 0; code < 7; ++code) {
        EXPECT_EQ(code, OffsetFraction(offsets[code])) << offsets[code];
        EXPECT_EQ(code, OffsetFraction(offsets[code] + (code < 3 ? -9 : 12)));
        EXPECT_EQ(marks[code], OffsetMarks(code));
        EXPECT_EQ(std::string(marks[code]).substr(0, 1), OffsetSign(code));
    }
    EXPECT_EQ(3, OffsetFraction(5));
    EXPECT_EQ(3, OffsetFraction(-14));
    EXPECT_EQ(6, OffsetFraction(5.75));
    EXPECT_EQ(1, OffsetFraction(-3.5));
    EXPECT_EQ(3, OffsetFraction(0.2499)) << "whole quarters only, cut toward zero";
    EXPECT_EQ(2, OffsetFraction(-0.3));
    EXPECT_EQ("\xBD", OffsetFractionChar(5));

    const int hours[][2] = {{0, 12}, {1, 1}, {11, 11}, {12, 12}, {13, 1}, {23, 11}, {34, 10}};
    for (const auto& h : hours)
        EXPECT_EQ(h[1], Hour12(h[0])) << h[0];
}

TEST(Format, TimeAndDateTexts) {
    const TLocaleFacts locale;
    const char* const formats[] = {"h:mm:ss am/pm", "h:mm am/pm", "h:mm:ss", "h:mm"};
    struct Case {
        TDateTime Time;
        const char* Texts[4];
    };
    const Case cases[] = {
        {At(2026, 12, 7, 0, 30, 5), {"12:30:05 am", "12:30 am", "0:30:05", "0:30"}},
        {At(2026, 12, 7, 11, 59, 59), {"11:59:59 am", "11:59 am", "11:59:59", "11:59"}},
        {At(2026, 12, 7, 12), {"12:00:00 pm", "12:00 pm", "12:00:00", "12:00"}},
        // Built from a sum of fractions, a hair below 13:05: still 13:05:00.
        {46363 + 13.0 / 24 + 5.0 / 1440, {"1:05:00 pm", "1:05 pm", "13:05:00", "13:05"}},
        {At(2026, 12, 7, 19, 5, 9), {"7:05:09 pm", "7:05 pm", "19:05:09", "19:05"}},
    };
    for (const auto& c : cases)
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(c.Texts[f], FormatDateTimeText(formats[f], c.Time, locale)) << formats[f];

    TLocaleFacts dots = locale;
    dots.DateSeparator = '.';
    dots.TimeSeparator = '.';
    EXPECT_EQ("Mon 01/02/2027", FormatDateTimeText("ddd dd/mm/yyyy", At(2027, 2, 1), locale));
    EXPECT_EQ("Mon 01.02.2027 7.05",
              FormatDateTimeText("ddd dd/mm/yyyy h:mm", At(2027, 2, 1, 7, 5), dots));
    EXPECT_EQ("Mon 1 Feb 2027", FormatCentreDate(At(2027, 2, 1, 23, 59), 0, locale));
    EXPECT_EQ("Mon Feb 1 2027", FormatCentreDate(At(2027, 2, 1), 1, locale));
    EXPECT_EQ("Sun Dec 31 2028", FormatCentreDate(At(2028, 12, 31), 1, locale));
    EXPECT_EQ("", FormatCentreDate(3e6, 0, locale)) << "beyond the calendar";
}

TEST(AnsiText, ConversionsAndTrimming) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    std::string back;
    ASSERT_TRUE(Utf8ToAnsi(AnsiToUtf8(all), back));
    EXPECT_EQ(all, back);
    EXPECT_EQ("\xE2\x82\xAC", AnsiToUtf8("\x80"));
    EXPECT_EQ("\xC2\xBC\xC2\xBD\xC2\xBE", AnsiToUtf8("\xBC\xBD\xBE"));
    EXPECT_EQ("\xC3\xA9", AnsiToUtf8("\xE9"));
    for (int c : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(static_cast<char32_t>(c), AnsiCharToUnicode(static_cast<unsigned char>(c)));
        EXPECT_EQ(c, UnicodeToAnsiChar(static_cast<char32_t>(c)));
    }
    EXPECT_EQ(0x9F, UnicodeToAnsiChar(0x178));
    EXPECT_EQ(-1, UnicodeToAnsiChar(0x80)) << "byte 0x80 stands for the euro sign";

    // Text the code page cannot hold (CJK, U+0100, an emoji, U+0080) and broken UTF-8 are
    // refused and leave out alone.
    const char* const refused[] = {
        "\xE6\x9D\xB1", "A\xC4\x80", "\xF0\x9F\x98\x80", "\xC2\x80",         "\x80", "abc\xC3",
        "\xC0\xAF",     "\xE2\x82",  "\xED\xA0\x80",     "\xF4\x90\x80\x80", "\xFF", "\xC3("};
    for (const char* s : refused) {
        std::string out = "kept";
        EXPECT_FALSE(Utf8ToAnsi(s, out)) << s;
        EXPECT_EQ("kept", out);
        EXPECT_FALSE(CanHoldAsAnsi(s));
    }
    EXPECT_TRUE(CanHoldAsAnsi("Z\xC3\xBCrich \xE2\x82\xAC"));

    EXPECT_EQ("x y", TrimAnsi(" \t\x01\x1Fx y \r\n "));
    EXPECT_EQ("", TrimAnsi(std::string("\0 \x20", 3)));
    EXPECT_EQ("\xA0x\x7F", TrimAnsi("\xA0x\x7F")) << "only codes up to 32 are blanks";
}
