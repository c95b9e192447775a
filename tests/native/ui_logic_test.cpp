/*
 * Unit tests of the message-type tables, the centring arithmetic and the
 * welcome text choice.
 */
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include "profile/build_profile.h"
#include "ui/ui_logic.h"

namespace
{

struct TypeCase
{
    uint32_t type;
    const char *templateName;
    int icon;
};

/* Guards against a wrong field mask (buttons and icon mixed up, or high bits
 * such as MB_DEFBUTTON2 changing the choice) and a missing table row. */
TEST(MessageType, SelectsTemplateFromLowBitsAndIconFromNextFour)
{
    const TypeCase cases[] = {{36, "IDD_MSG_YESNO", 32514},      /* the cancel question */
                              {16, "IDD_MSG_OK", 32513},         /* copy errors, warnings */
                              {0x32, "IDD_MSG_OK", 32515},       /* low bits 2 have no template */
                              {0x51, "IDD_MSG_OKCANCEL", 32512}, /* icon bits 5 have no icon */
                              {0, "IDD_MSG_OK", 32512},          {3, "IDD_MSG_YESNOCANCEL", 32512},
                              {5, "IDD_MSG_RETRYCANCEL", 32512}, {0x44, "IDD_MSG_YESNO", 32516},
                              {0x0F, "IDD_MSG_OK", 32512},       {0xF6, "IDD_MSG_OK", 32512},
                              {0x0124, "IDD_MSG_YESNO", 32514}, /* MB_DEFBUTTON2 is ignored */
                              {0xFF14, "IDD_MSG_YESNO", 32513}};
    for (const TypeCase &c : cases)
    {
        EXPECT_STREQ(c.templateName, MessageTemplateForType(c.type)) << c.type;
        EXPECT_EQ(c.icon, MessageIconForType(c.type)) << c.type;
    }
}

struct CenterCase
{
    UiRect parent, window;
    int32_t x, y;
};

/* Guards against rounding toward minus infinity (an off-by-one on odd
 * overhangs), ignoring the parent's origin, and using the window's own
 * position instead of only its size. */
TEST(CenteredOrigin, CentresOverParentWithTruncatingHalves)
{
    const CenterCase cases[] = {
        /* smaller window: plain centring, its old position ignored */
        {{0, 0, 100, 100}, {10, 10, 50, 30}, 30, 40},
        {{200, 100, 300, 151}, {0, 0, 20, 10}, 240, 120},
        /* larger by an even amount: the same overhang on both sides */
        {{100, 100, 200, 150}, {0, 0, 160, 90}, 70, 80},
        /* larger by an odd amount: -51 / 2 is -25, not -26 */
        {{100, 100, 200, 150}, {0, 0, 151, 81}, 75, 85},
        /* parent off the left/top edge of the screen */
        {{-300, -200, -100, 0}, {5, 5, 55, 25}, -225, -110},
        /* the hidden main window has the desktop's rectangle */
        {{0, 0, 1024, 768}, {0, 0, 499, 357}, 262, 205},
    };
    for (const CenterCase &c : cases)
    {
        int32_t x = 0, y = 0;
        CenteredOrigin(c.parent, c.window, &x, &y);
        EXPECT_EQ(c.x, x) << "parent left " << c.parent.left;
        EXPECT_EQ(c.y, y) << "parent top " << c.parent.top;
    }
}

/* Guards against signed overflow (caught by UBSan) on extreme rectangles. */
TEST(CenteredOrigin, ExtremeCoordinatesDoNotOverflow)
{
    UiRect parent = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    UiRect window = {INT32_MAX - 10, INT32_MAX - 10, INT32_MAX, INT32_MAX};
    int32_t x = 0, y = 0;
    CenteredOrigin(parent, window, &x, &y);
    EXPECT_EQ(-6, x); /* INT32_MIN + (2^32 - 1 - 10) / 2 */
    EXPECT_EQ(-6, y);

    UiRect tiny = {INT32_MIN, 0, INT32_MIN + 1, 1};
    UiRect huge = {INT32_MIN, 0, INT32_MAX, 1};
    CenteredOrigin(tiny, huge, &x, &y);
    EXPECT_EQ(INT32_MIN, x); /* clamped rather than wrapped */
}

/* Guards against showing the x64 text (or none) for the x86 environment the
 * program always runs in, and against a loose prefix comparison. */
TEST(WelcomeText, FollowsTheDriverEnvironment)
{
    const BuildProfile *profiles[] = {&g_profile_M470_ko_win7, &g_profile_M270_ko_vista,
                                      &g_profile_M270_en_win7, &g_profile_M270_en_vista};
    for (const BuildProfile *p : profiles)
    {
        EXPECT_EQ(p->welcomeTexts[0], WelcomeTextForEnvironment(*p, "Windows NT x86"));
        EXPECT_EQ(p->welcomeTexts[1], WelcomeTextForEnvironment(*p, "Windows x64"));
        EXPECT_EQ(nullptr, WelcomeTextForEnvironment(*p, "Windows NT x86 "));
        EXPECT_EQ(nullptr, WelcomeTextForEnvironment(*p, "Windows 4.0"));
        EXPECT_EQ(nullptr, WelcomeTextForEnvironment(*p, nullptr));
    }
}

} // namespace
