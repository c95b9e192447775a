/*
 * Unit tests of the icon lists' plain decisions: the model and port icon
 * rules, the item height, the item geometry and the picture button's inner
 * rectangle.
 */
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/fuzz/fuzz_input.h"
#include "ui/icon_list_logic.h"

namespace
{

std::vector<std::pair<std::string, std::string>> g_compared;

int RecordingCompare(const char *a, const char *b)
{
    g_compared.push_back({a, b});
    return AsciiCompareIgnoringCase(a, b);
}

/* Guards against the rules' order (FILE: first), case-sensitivity of the
 * prefix rule after the case-blind FILE: rule, and prefixes matched
 * anywhere but at the start. */
TEST(PortIconRule, ChoosesTheIconFromTheName)
{
    struct Case
    {
        const char *port, *icon;
    };
    const Case cases[] = {
        {"FILE:", "IDI_SETUP"},    {"file:", "IDI_SETUP"},
        {"File:", "IDI_SETUP"},    {"COM1:", "IDI_PORT"},
        {"LPT1:", "IDI_PORT"},     {"COMPUTER1", "IDI_PORT"}, /* merely begins with COM */
        {"LPT", "IDI_PORT"},       {"COM", "IDI_PORT"},
        {"lpt1:", "IDI_NETWORK"}, /* case matters after the first rule */
        {"com1:", "IDI_NETWORK"},  {"Lpt1:", "IDI_NETWORK"},
        {"USB001", "IDI_NETWORK"}, {"\\\\server\\queue", "IDI_NETWORK"},
        {"IR", "IDI_NETWORK"},     {"FILE", "IDI_NETWORK"},
        {"FILE: ", "IDI_NETWORK"}, {" FILE:", "IDI_NETWORK"},
        {"XCOM1:", "IDI_NETWORK"}, {"LP", "IDI_NETWORK"}, /* shorter than the prefix */
        {"CO", "IDI_NETWORK"},     {"L", "IDI_NETWORK"},
        {"", "IDI_NETWORK"}};
    for (const Case &c : cases)
        EXPECT_STREQ(c.icon, PortIconName(c.port, AsciiCompareIgnoringCase)) << c.port;
}

/* Guards against comparing FILE: with anything but the given comparison
 * (the platform's, which ignores more than letter case). */
TEST(PortIconRule, AsksTheGivenComparisonAboutFile)
{
    g_compared.clear();
    EXPECT_STREQ("IDI_PORT", PortIconName("LPT2:", RecordingCompare));
    ASSERT_EQ(1u, g_compared.size());
    EXPECT_EQ("LPT2:", g_compared[0].first);
    EXPECT_EQ("FILE:", g_compared[0].second);

    /* Whatever the comparison calls equal gets the setup icon. */
    EXPECT_STREQ("IDI_SETUP", PortIconName("COM1:", [](const char *, const char *) { return 0; }));
}

/* Guards against a model name choosing anything but the printer icon. */
TEST(ModelIconRule, EveryModelShowsThePrinter)
{
    for (const char *model : {"Tarvik M270", "FILE:", "COM1:", "", "IDI_SETUP"})
        EXPECT_STREQ("IDI_PRINTER", ModelIconName(model));
}

/* Guards against a rule that writes before it has read: the drawing hands
 * one buffer as both text and output. */
TEST(IconRule, SameBufferAsTextAndOutput)
{
    char buffer[1024];
    strcpy(buffer, "file:");
    WriteIconName(PortIconName(buffer, AsciiCompareIgnoringCase), buffer, sizeof(buffer));
    EXPECT_STREQ("IDI_SETUP", buffer);
    strcpy(buffer, "COM2:");
    WriteIconName(PortIconName(buffer, AsciiCompareIgnoringCase), buffer, sizeof(buffer));
    EXPECT_STREQ("IDI_PORT", buffer);
}

/* Guards against an output written past its buffer. */
TEST(IconRule, OutputIsCutToItsBuffer)
{
    char small[6];
    memset(small, 'x', sizeof(small));
    WriteIconName("IDI_NETWORK", small, sizeof(small));
    EXPECT_STREQ("IDI_N", small);
    WriteIconName("IDI_NETWORK", small, 0); /* writes nothing */
    EXPECT_STREQ("IDI_N", small);
}

/* Guards against a height lowered, compared signed, or not raised. */
TEST(IconItem, MeasuredHeightIsAtLeast34)
{
    for (uint32_t raised : {16u, 0u, 33u, 34u})
        EXPECT_EQ(34u, MeasuredItemHeight(raised)) << raised;
    for (uint32_t kept : {40u, 0x80000000u /* unsigned */, 0xFFFFFFFFu})
        EXPECT_EQ(kept, MeasuredItemHeight(kept)) << kept;
}

/* Guards against taking the vertical half of the base units. */
TEST(IconItem, HorizontalBaseUnitIsTheLowWord)
{
    EXPECT_EQ(8, HorizontalBaseUnit(0x00100008u));
    EXPECT_EQ(7, HorizontalBaseUnit(0x000F0007u));
    EXPECT_EQ(0xFFFF, HorizontalBaseUnit(0xFFFFFFFFu));
}

/* Guards against the icon off by a pixel, the text not beside it, and the
 * text's centring rounded the wrong way for negative sums. */
TEST(IconItem, LayoutPlacesIconAndText)
{
    struct Case
    {
        UiRect item;
        int32_t bux, textHeight;
        IconItemLayout expected;
    };
    const Case cases[] = {
        {{0, 0, 200, 34}, 8, 16, {8, 1, 48, 9}},      {{0, 34, 200, 68}, 8, 16, {8, 35, 48, 43}},
        {{0, 0, 200, 34}, 7, 13, {7, 1, 46, 10}},     /* 21 / 2 = 10 */
        {{5, 10, 90, 44}, 6, 15, {6, 11, 44, 19}},    /* left is not used */
        {{0, -34, 200, 0}, 8, 16, {8, -33, 48, -25}}, /* -50 / 2 = -25 */
        {{0, -35, 200, 0}, 8, 16, {8, -34, 48, -25}}, /* -51 / 2 = -25, not -26 */
        {{0, 0, 200, 34}, 8, 100, {8, 1, 48, -33}}    /* taller text starts above */
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.item.top << ".." << c.item.bottom << " bux " << c.bux
                                        << " h " << c.textHeight);
        IconItemLayout got = LayOutIconItem(c.item, c.bux, c.textHeight);
        EXPECT_EQ(c.expected.iconX, got.iconX);
        EXPECT_EQ(c.expected.iconY, got.iconY);
        EXPECT_EQ(c.expected.textX, got.textX);
        EXPECT_EQ(c.expected.textY, got.textY);
    }
}

/* Guards against overflow in the sums for extreme rectangles. */
TEST(IconItem, LayoutOfExtremeRectanglesStaysInRange)
{
    IconItemLayout got = LayOutIconItem({0, INT32_MAX, 10, INT32_MAX}, 8, 0);
    EXPECT_EQ(INT32_MAX, got.iconY);
    EXPECT_EQ(INT32_MAX, got.textY);
    got = LayOutIconItem({0, INT32_MIN, 10, INT32_MIN}, 8, 0);
    EXPECT_EQ(INT32_MIN + 1, got.iconY);
    EXPECT_EQ(INT32_MIN, got.textY);
}

/* Guards against a frame that is not the control's outermost two pixels. */
TEST(PictureButton, InnerRectangleIsTwoPixelsIn)
{
    UiRect inner = PictureButtonInner({0, 0, 29, 49});
    EXPECT_EQ(2, inner.left);
    EXPECT_EQ(2, inner.top);
    EXPECT_EQ(27, inner.right);
    EXPECT_EQ(47, inner.bottom);
    inner = PictureButtonInner({10, 20, 168, 272});
    EXPECT_EQ(12, inner.left);
    EXPECT_EQ(22, inner.top);
    EXPECT_EQ(166, inner.right);
    EXPECT_EQ(270, inner.bottom);
}

} // namespace
