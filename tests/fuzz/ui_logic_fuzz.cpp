/*
 * Fuzz entry for the list item rules and the other plain decisions of the
 * user interface: the port icon rule on any port name the spooler may list
 * (in a heap block of exactly its length, so a look past its NUL is caught),
 * the icon name written into a buffer of any size, the item height and the
 * item and picture-button geometry on any rectangle, the message type
 * tables, centring and the welcome text choice.  Built as a libFuzzer
 * target with clang (SETUP_FUZZ), and driven with random inputs by the
 * native unit tests under the name FuzzUiLogic.
 */
#include <stdint.h>
#include <string.h>

#include <string>

#include "fuzz_input.h"
#include "profile/build_profile.h"
#include "profile/resource.h"
#include "ui/icon_list_logic.h"
#include "ui/ui_logic.h"

namespace
{

// clang-format off
const char *const kPortSeeds[] = {"FILE:", "file:", "LPT1:", "COM3:", "LPT", "CO", "L", "", "lpt1:",
                                  "IR", "\\\\server\\queue", "Ne00:", "Windows NT x86", "Windows x64"};
// clang-format on

/* The icon of a port name, and the name written into a buffer of any size,
 * also into the buffer that held the port name. */
void CheckPortIcon(const std::string &port, FuzzInput &in)
{
    ExactText text(port);
    const char *icon = PortIconName(text.Data(), AsciiCompareIgnoringCase);
    bool isFile = AsciiCompareIgnoringCase(port.c_str(), "FILE:") == 0;
    bool isLocal = port.compare(0, 3, "LPT") == 0 || port.compare(0, 3, "COM") == 0;
    FUZZ_CHECK(strcmp(icon, isFile    ? ICON_NAME_SETUP
                            : isLocal ? ICON_NAME_PORT
                                      : ICON_NAME_NETWORK) == 0);
    FUZZ_CHECK(strcmp(ModelIconName(text.Data()), ICON_NAME_PRINTER) == 0);

    ExactBuffer out(in.Byte() % 16);
    char *buffers[] = {out.Data(), text.Data()};
    size_t sizes[] = {out.Size(), text.Size()};
    for (int i = 0; i < 2; i++)
    {
        WriteIconName(icon, buffers[i], sizes[i]);
        if (sizes[i] == 0)
            continue;
        size_t kept = strnlen(buffers[i], sizes[i]);
        FUZZ_CHECK(kept < sizes[i]);
        FUZZ_CHECK(kept == (strlen(icon) < sizes[i] ? strlen(icon) : sizes[i] - 1));
        FUZZ_CHECK(strncmp(buffers[i], icon, kept) == 0);
    }
}

UiRect RectFrom(FuzzInput &in)
{
    /* A braced list's elements are taken in order. */
    return UiRect{in.Int32(), in.Int32(), in.Int32(), in.Int32()};
}

/* Inside these bounds no sum leaves the 32-bit range, so the geometry is
 * exact; beyond them it must still be computed without overflow. */
bool Moderate(int64_t v)
{
    return v > -(1 << 28) && v < (1 << 28);
}

void CheckItemGeometry(FuzzInput &in)
{
    uint32_t requested = in.U32();
    uint32_t height = MeasuredItemHeight(requested);
    FUZZ_CHECK(height >= ICON_ITEM_HEIGHT && (requested < ICON_ITEM_HEIGHT || height == requested));
    FUZZ_CHECK(MeasuredItemHeight(height) == height);

    int32_t bux = HorizontalBaseUnit(in.U32());
    FUZZ_CHECK(bux >= 0 && bux <= 0xFFFF);

    UiRect item = RectFrom(in);
    int32_t textHeight = in.Int32();
    IconItemLayout layout = LayOutIconItem(item, bux, textHeight);
    FUZZ_CHECK(layout.iconX == bux && layout.textX == 2 * bux + ICON_ITEM_ICON_SIZE);
    if (Moderate(item.top) && Moderate(item.bottom) && Moderate(textHeight))
    {
        /* The text is centred on the item, to within the pixel that the
         * truncating halving drops. */
        FUZZ_CHECK(layout.iconY == item.top + 1);
        int64_t off = (int64_t)item.top + item.bottom - (2 * (int64_t)layout.textY + textHeight);
        FUZZ_CHECK(off >= -1 && off <= 1);
    }

    UiRect inner = PictureButtonInner(item);
    if (Moderate(item.left) && Moderate(item.top) && Moderate(item.right) && Moderate(item.bottom))
        FUZZ_CHECK(inner.left - item.left == 2 && inner.top - item.top == 2 &&
                   item.right - inner.right == 2 && item.bottom - inner.bottom == 2);
}

/* A window centred over its parent leaves equal gaps (or overhangs) on
 * both sides, to within one pixel. */
void CheckCentring(FuzzInput &in)
{
    UiRect parent = RectFrom(in);
    UiRect window = RectFrom(in);
    int32_t x = 0, y = 0;
    CenteredOrigin(parent, window, &x, &y);
    const int64_t starts[] = {x, y};
    const int32_t pairs[2][4] = {{parent.left, parent.right, window.left, window.right},
                                 {parent.top, parent.bottom, window.top, window.bottom}};
    for (int axis = 0; axis < 2; axis++)
    {
        const int32_t *p = pairs[axis];
        int64_t span = (int64_t)p[3] - p[2];
        int64_t before = starts[axis] - p[0];
        int64_t after = (int64_t)p[1] - (starts[axis] + span);
        int64_t origin = (int64_t)p[0] + ((int64_t)p[1] - p[0] - span) / 2;
        if (origin >= INT32_MIN && origin <= INT32_MAX)
            FUZZ_CHECK(before - after >= -1 && before - after <= 1);
        else
            FUZZ_CHECK(starts[axis] == (origin < 0 ? INT32_MIN : INT32_MAX));
    }
}

/* The template depends on the low four bits only, the icon on bits 4-7
 * only. */
void CheckMessageType(uint32_t type)
{
    const char *name = MessageTemplateForType(type);
    FUZZ_CHECK(strcmp(name, MessageTemplateForType(type & 0x0F)) == 0);
    FUZZ_CHECK(strncmp(name, "IDD_MSG_", 8) == 0);
    int icon = MessageIconForType(type);
    FUZZ_CHECK(icon == MessageIconForType(type & 0xF0));
    FUZZ_CHECK(icon >= IDI_SYSTEM_APPLICATION && icon <= IDI_SYSTEM_ASTERISK);
}

/* Only the two environments the spooler names pick a text, and then one
 * of the build's pair. */
void CheckWelcomeText(const std::string &environment)
{
    ExactText text(environment);
    const char *chosen = WelcomeTextForEnvironment(g_profile, text.Data());
    FUZZ_CHECK(chosen == (environment == "Windows NT x86" ? g_profile.welcomeTexts[0]
                          : environment == "Windows x64"  ? g_profile.welcomeTexts[1]
                                                          : nullptr));
}

} // namespace

extern "C" int FUZZ_ENTRY(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    CheckItemGeometry(in);
    CheckCentring(in);
    CheckMessageType(in.U32());
    for (int i = 0; i < 16 && !in.Empty(); i++)
    {
        uint8_t tag = in.Byte();
        const char *seed = kPortSeeds[tag % (sizeof(kPortSeeds) / sizeof(kPortSeeds[0]))];
        std::string port = tag & 0x80 ? in.Text() : seed + in.Text();
        CheckPortIcon(port, in);
        CheckWelcomeText(port);
    }
    return 0;
}
