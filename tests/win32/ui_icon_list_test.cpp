/*
 * The icon lists against the real list box and GDI: filling without
 * duplicates, the item height, and each item's drawing read back pixel by
 * pixel from a canvas (colours of the state over the whole item, the icon's
 * 32 x 32 image at (bux, top + 1), the text beside it, the focus rectangle
 * over the whole item, nothing for an empty list's focus request), and the
 * icon each port name gets.  ctest runs this program twice: at 96 dots per
 * inch and, as win32_ui_icon_list_120dpi, at 120, where the system's icon
 * size is 40 and the same checks hold.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "support/pixels.h"
#include "support/ui_driver.h"
#include "app/setup_state.h"
#include "profile/resource.h"
#include "ui/icon_list.h"

using pixels::Canvas;
using pixels::Rgb;
using pixels::SysRgb;

namespace
{

const uint32_t kSentinel = 0x123456; /* a colour the drawing never uses */

/* The name source of the fill tests: g_names[index], or nothing written
 * for an index whose entry is kLeaveUntouched or past the end. */
const char kLeaveUntouched[] = "\x01untouched";
std::vector<std::string> g_names;
std::vector<WORD> g_askedIndices;

void NameFromTable(WORD index, char *out)
{
    g_askedIndices.push_back(index);
    if (index < g_names.size() && g_names[index] != kLeaveUntouched)
        lstrcpynA(out, g_names[index].c_str(), SETUP_TEXT_MAX);
}

/* What the last rule call was given, and the icon it then names. */
std::string g_ruleText;
std::string g_ruleIcon = "IDI_PRINTER";

void RecordingRule(const char *text, char *out)
{
    g_ruleText = text;
    lstrcpynA(out, g_ruleIcon.c_str(), SETUP_TEXT_MAX);
}

class IconListTest : public ::testing::Test
{
  protected:
    HWND parent = NULL;
    HWND list = NULL;
    int bux = 0;
    Canvas canvas{260, 60}; /* sentinel-filled before each draw */

    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        WNDCLASSA wc = {0,    DefWindowProcA, 0,    0,    g_state.instance,
                        NULL, NULL,           NULL, NULL, "IconListTestParent"};
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, wc.lpszClassName, "parent", WS_POPUP, 0, 0, 300, 300, NULL,
                                 NULL, g_state.instance, NULL);
        ASSERT_NE(nullptr, parent);
        list = CreateWindowExA(
            0, "LISTBOX", "",
            WS_CHILD | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0,
            0, 250, 200, parent, (HMENU)IDC_PORT_LIST, g_state.instance, NULL);
        ASSERT_NE(nullptr, list);
        bux = LOWORD(GetDialogBaseUnits());
        g_names.clear();
        g_askedIndices.clear();
        g_ruleIcon = "IDI_PRINTER";
        g_ruleText.clear();
    }
    void TearDown() override
    {
        DestroyWindow(parent);
    }

    std::vector<std::string> Items() const
    {
        return uitest::ListItems(parent, IDC_PORT_LIST);
    }

    void Fill(SHORT count, std::vector<std::string> names)
    {
        g_names = names;
        g_askedIndices.clear();
        FillIconList(parent, IDC_PORT_LIST, count, NameFromTable);
    }

    void SetItems(const std::vector<std::string> &items)
    {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (const std::string &item : items)
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item.c_str());
    }

    /* Draws item `id` of `control` into rc of a sentinel-filled canvas. */
    void Draw(Canvas &canvas, UINT id, UINT state, const RECT &rc, IconRule rule,
              HWND control = NULL, UINT type = ODT_LISTBOX)
    {
        canvas.Fill(kSentinel);
        HWND item = control ? control : list;
        DRAWITEMSTRUCT di = {type, IDC_PORT_LIST, id, ODA_DRAWENTIRE, state, item, canvas.Dc(), rc,
                             0};
        DrawIconItem(parent, &di, rule);
    }

    int TextHeight(const Canvas &canvas) const
    {
        TEXTMETRICA tm;
        GetTextMetricsA(canvas.Dc(), &tm);
        return tm.tmHeight;
    }
};

const RECT kItem = {0, 10, 240, 44}; /* top 10: the icon belongs at y 11 */

/* --- filling -------------------------------------------------------------- */

/* Guards against a negative count taken as a large unsigned one, and a
 * list not emptied before an empty fill. */
TEST_F(IconListTest, FillWithNoCountLeavesTheListEmpty)
{
    for (SHORT count : {(SHORT)0, (SHORT)-1, (SHORT)-32768})
    {
        SCOPED_TRACE(count);
        SetItems({"old 1", "old 2"});
        Fill(count, {"Alpha"});
        EXPECT_TRUE(Items().empty());
        EXPECT_TRUE(g_askedIndices.empty());
    }
}

/* Guards against duplicates (also in another case), a sorted list, the
 * last occurrence winning, and a refill that keeps the old items. */
TEST_F(IconListTest, FillKeepsTheFirstOfEachNameInSourceOrder)
{
    SetItems({"old"});
    Fill(4, {"Alpha", "Beta", "Alpha", "Gamma"});
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta", "Gamma"}), Items());
    EXPECT_EQ((std::vector<WORD>{0, 1, 2, 3}), g_askedIndices);

    Fill(2, {"LPT1:", "lpt1:"});
    EXPECT_EQ((std::vector<std::string>{"LPT1:"}), Items());

    Fill(4, {"Zeta", "beta", "Alpha", "BETA"});
    EXPECT_EQ((std::vector<std::string>{"Zeta", "beta", "Alpha"}), Items());
}

/* Guards against an index the source cannot name adding the previous name
 * again, and against an empty line when the first index gets no name. */
TEST_F(IconListTest, FillAddsNothingForAnIndexWithoutAName)
{
    Fill(4, {"COM1:", kLeaveUntouched, "FILE:", kLeaveUntouched});
    EXPECT_EQ((std::vector<std::string>{"COM1:", "FILE:"}), Items());

    Fill(3, {kLeaveUntouched, "COM1:", kLeaveUntouched});
    EXPECT_EQ((std::vector<std::string>{"COM1:"}), Items());

    Fill(2, {"", "LPT1:"});
    EXPECT_EQ((std::vector<std::string>{"LPT1:"}), Items());
}

/* Guards against a name cut short or a buffer overrun for the longest
 * name a 1024-byte buffer holds. */
TEST_F(IconListTest, FillKeepsTheLongestName)
{
    std::string longest(SETUP_TEXT_MAX - 1, 'n');
    Fill(2, {longest, "x"});
    EXPECT_EQ((std::vector<std::string>{longest, "x"}), Items());
}

/* --- measuring -------------------------------------------------------------- */

/* Guards against a height lowered or not raised to 34. */
TEST_F(IconListTest, MeasureRaisesTheHeightTo34)
{
    const UINT cases[][2] = {{16, 34}, {40, 40}, {34, 34}}; /* given, measured */
    for (const UINT *c : cases)
    {
        MEASUREITEMSTRUCT mi = {ODT_LISTBOX, 0, 0, 0, c[0], 0};
        MeasureIconItem(&mi);
        EXPECT_EQ(c[1], mi.itemHeight) << c[0];
    }
}

/* --- resolution ------------------------------------------------------------ */

/* Guards against the 120-DPI run silently running at 96 (the checks below
 * would then prove nothing there): the resolution is the one asked for,
 * and above 96 the system's icon size is above the list's 32 pixels. */
TEST_F(IconListTest, RunsAtTheResolutionItWasGiven)
{
    const char *asked = getenv("SETUP_WINE_LOGPIXELS");
    int dpi = asked != NULL ? atoi(asked) : 96;
    HDC screen = GetDC(NULL);
    EXPECT_EQ(dpi, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(NULL, screen);
    HICON systemSize = LoadIconA(g_state.instance, "IDI_PRINTER");
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), pixels::IconSize(systemSize).cx);
    if (dpi > 96)
        EXPECT_GT(GetSystemMetrics(SM_CXICON), 32);
    else
        EXPECT_EQ(32, GetSystemMetrics(SM_CXICON));
}

/* --- drawing ---------------------------------------------------------------- */

/* Every pixel of the item outside the icon's 32 x 32 place and the text's
 * cell (from textX rightwards, one text height from textY) is `back`; the
 * icon's place shows the 32 x 32 image of `icon` (NULL: none) drawn on
 * `back`; the text's cell holds at least one pixel of another colour;
 * nothing outside the item changed. */
void ExpectItemPixels(const Canvas &canvas, const RECT &rc, int bux, int textHeight, uint32_t back,
                      const char *icon)
{
    const int iconX = bux, iconY = rc.top + 1;
    const int textX = 2 * bux + 32, textY = (rc.top + rc.bottom - textHeight) / 2;
    int wrongBack = 0, changedOutside = 0, textPixels = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
        {
            uint32_t px = canvas.At(x, y);
            bool inItem = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
            bool inIcon = x >= iconX && x < iconX + 32 && y >= iconY && y < iconY + 32;
            bool inText = x >= textX && y >= textY && y < textY + textHeight;
            if (!inItem)
                changedOutside += px != kSentinel;
            else if (inIcon)
                continue;
            else if (inText)
                textPixels += px != back;
            else
                wrongBack += px != back;
        }
    EXPECT_EQ(0, changedOutside) << "pixels outside the item changed";
    EXPECT_EQ(0, wrongBack) << "pixels of the item not in its background colour";
    EXPECT_GT(textPixels, 0) << "no text drawn";
    std::vector<uint32_t> expected = icon ? pixels::RenderIconImage32(g_state.instance, icon, back)
                                          : std::vector<uint32_t>(32 * 32, back);
    EXPECT_EQ(expected, canvas.Block(iconX, iconY, 32, 32)) << "the icon's place";
}

/* Guards against the icon off its place (bux, top + 1), a background that
 * leaves the icon's place or any column unfilled, the text not beside the
 * icon or not centred, and the wrong colours for the state. */
TEST_F(IconListTest, ItemIsDrawnInTheColoursOfItsState)
{
    SetItems({"COM1:", "Tarvik M270 Network"});
    ASSERT_TRUE(canvas.Ok());
    struct Case
    {
        UINT id;
        UINT state;
        int back;
    };
    const Case cases[] = {
        {0, 0, COLOR_WINDOW},
        {1, ODS_SELECTED, COLOR_HIGHLIGHT},
        {1, 0, COLOR_WINDOW},
        {0, ODS_SELECTED | ODS_DISABLED, COLOR_HIGHLIGHT}, /* other flags change nothing */
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(testing::Message() << "item " << c.id << " state " << c.state);
        Draw(canvas, c.id, c.state, kItem, ModelIconRule);
        ExpectItemPixels(canvas, kItem, bux, TextHeight(canvas), SysRgb(c.back), "IDI_PRINTER");
    }
    /* The highlight and window colours differ, so the cases above tell the
     * states apart. */
    EXPECT_NE(SysRgb(COLOR_HIGHLIGHT), SysRgb(COLOR_WINDOW));
}

/* Guards against a text drawn in the background colour, or in the colour
 * of the other state. */
TEST_F(IconListTest, TextIsDrawnInTheTextColourOfItsState)
{
    SetItems({"MMMMMMMMMMMM"});
    struct Case
    {
        UINT state;
        int text;
        int back;
    };
    for (const Case &c : {Case{0, COLOR_WINDOWTEXT, COLOR_WINDOW},
                          Case{ODS_SELECTED, COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT}})
    {
        SCOPED_TRACE(c.state);
        Draw(canvas, 0, c.state, kItem, ModelIconRule);
        /* Wine smooths the text's edges, so blends of the two colours
         * appear beside the pixels in the text colour itself. */
        int textColoured = 0;
        for (int y = kItem.top; y < kItem.bottom; ++y)
            for (int x = 2 * bux + 32; x < kItem.right; ++x)
                textColoured += canvas.At(x, y) == SysRgb(c.text);
        EXPECT_GT(textColoured, 20);
    }
}

/* Guards against the device context's colours left changed for the
 * list's next draw. */
TEST_F(IconListTest, DrawingPutsBackTheColours)
{
    SetItems({"LPT1:"});
    SetTextColor(canvas.Dc(), RGB(1, 2, 3));
    SetBkColor(canvas.Dc(), RGB(4, 5, 6));
    Draw(canvas, 0, ODS_SELECTED | ODS_FOCUS, kItem, PortIconRule);
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(canvas.Dc()));
    EXPECT_EQ(RGB(4, 5, 6), GetBkColor(canvas.Dc()));
}

/* Guards against a focus rectangle that is missing, smaller than the item,
 * or drawn where it does not belong. */
TEST_F(IconListTest, FocusRectangleCoversTheWholeItem)
{
    SetItems({"LPT1:"});
    for (UINT selected : {0u, (UINT)ODS_SELECTED})
    {
        SCOPED_TRACE(selected);
        Canvas plain(260, 60), focused(260, 60);
        Draw(plain, 0, selected, kItem, PortIconRule);
        Draw(focused, 0, selected | ODS_FOCUS, kItem, PortIconRule);
        int onLeft = 0, onRight = 0, onTop = 0, onBottom = 0, inside = 0;
        for (int y = 0; y < plain.Height(); ++y)
            for (int x = 0; x < plain.Width(); ++x)
            {
                if (plain.At(x, y) == focused.At(x, y))
                    continue;
                bool left = x == kItem.left, right = x == kItem.right - 1;
                bool top = y == kItem.top, bottom = y == kItem.bottom - 1;
                bool inItem =
                    x >= kItem.left && x < kItem.right && y >= kItem.top && y < kItem.bottom;
                onLeft += left && inItem;
                onRight += right && inItem;
                onTop += top && inItem;
                onBottom += bottom && inItem;
                inside += !(inItem && (left || right || top || bottom));
            }
        EXPECT_EQ(0, inside) << "focus pixels off the item's edge";
        /* A dotted line: every other pixel of each edge. */
        const int width = kItem.right - kItem.left, height = kItem.bottom - kItem.top;
        EXPECT_GE(onTop, width / 2 - 1);
        EXPECT_GE(onBottom, width / 2 - 1);
        EXPECT_GE(onLeft, height / 2 - 1);
        EXPECT_GE(onRight, height / 2 - 1);
    }
}

/* Guards against an empty list's focus request (item -1) painting a focus
 * rectangle or anything else. */
TEST_F(IconListTest, EmptyFocusedListDrawsNothing)
{
    SetItems({});
    const std::vector<uint32_t> untouched(canvas.Pixels().size(), kSentinel);
    Draw(canvas, (UINT)-1, ODS_FOCUS, kItem, PortIconRule);
    ASSERT_EQ(untouched, canvas.Pixels());
    EXPECT_TRUE(g_ruleText.empty());
    Draw(canvas, (UINT)-1, ODS_FOCUS | ODS_SELECTED, kItem, RecordingRule);
    ASSERT_EQ(untouched, canvas.Pixels());
    EXPECT_TRUE(g_ruleText.empty()) << "the rule was asked for an empty list";
}

/* Guards against the wrong icon for a port name, and against the rule
 * comparing FILE: other than the platform does. */
TEST_F(IconListTest, EachPortNameGetsItsIcon)
{
    struct Case
    {
        const char *port;
        const char *icon;
    };
    const Case cases[] = {
        {"FILE:", "IDI_SETUP"},    {"file:", "IDI_SETUP"},
        {"COM1:", "IDI_PORT"},     {"LPT1:", "IDI_PORT"},
        {"COMPUTER1", "IDI_PORT"}, {"lpt1:", "IDI_NETWORK"},
        {"USB001", "IDI_NETWORK"}, {"\\\\server\\queue", "IDI_NETWORK"},
        {"IR", "IDI_NETWORK"},
    };
    std::vector<std::string> names;
    for (const Case &c : cases)
        names.push_back(c.port);
    SetItems(names);
    /* Loaded at the system's size first, as the main window's class icon
     * is: a shared load would then hand the draw that size again. */
    for (const char *icon : {"IDI_SETUP", "IDI_PRINTER", "IDI_PORT", "IDI_NETWORK"})
        LoadIconA(g_state.instance, icon);
    for (UINT i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        SCOPED_TRACE(cases[i].port);
        Draw(canvas, i, ODS_SELECTED, kItem, PortIconRule);
        ExpectItemPixels(canvas, kItem, bux, TextHeight(canvas), SysRgb(COLOR_HIGHLIGHT),
                         cases[i].icon);
    }
}

/* Guards against the icons being alike, which would make the icon checks
 * above pass with the wrong icon. */
TEST_F(IconListTest, TheFourListIconsLookDifferent)
{
    const char *names[] = {"IDI_SETUP", "IDI_PRINTER", "IDI_PORT", "IDI_NETWORK"};
    std::vector<std::vector<uint32_t>> drawn;
    for (const char *name : names)
    {
        HICON icon = pixels::LoadIconImage32(g_state.instance, name);
        ASSERT_NE(nullptr, icon) << name;
        SIZE size = pixels::IconSize(icon);
        EXPECT_EQ(32, size.cx) << name;
        EXPECT_EQ(32, size.cy) << name;
        drawn.push_back(pixels::RenderIcon(icon, SysRgb(COLOR_WINDOW)));
        DestroyIcon(icon);
    }
    for (size_t a = 0; a < drawn.size(); ++a)
        for (size_t b = a + 1; b < drawn.size(); ++b)
            EXPECT_NE(drawn[a], drawn[b]) << names[a] << " and " << names[b];
}

/* Guards against the platform's case-blind comparison being replaced by a
 * plain one: Wine, like Windows, ignores a soft hyphen (0xAD in code page
 * 1252) when comparing, so such a name is FILE: to lstrcmpiA. */
TEST_F(IconListTest, PortRuleComparesFileAsThePlatformDoes)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the soft hyphen case is for code page 1252, this is " << GetACP();
    ASSERT_EQ(0, lstrcmpiA("FILE:\xAD", "FILE:"));
    char buffer[SETUP_TEXT_MAX];
    lstrcpyA(buffer, "FILE:\xAD");
    PortIconRule(buffer, buffer);
    EXPECT_STREQ("IDI_SETUP", buffer);
}

/* Guards against every model not showing the printer icon. */
TEST_F(IconListTest, EveryModelShowsThePrinterIcon)
{
    SetItems({"Tarvik M270", "FILE:", "COM1:"});
    std::vector<uint32_t> printer =
        pixels::RenderIconImage32(g_state.instance, "IDI_PRINTER", SysRgb(COLOR_WINDOW));
    for (UINT i = 0; i < 3; ++i)
    {
        Draw(canvas, i, 0, kItem, ModelIconRule);
        EXPECT_EQ(printer, canvas.Block(bux, kItem.top + 1, 32, 32)) << "item " << i;
    }
}

/* Guards against a rule not given the item's own text (read by its index),
 * and against the text being read past 1023 characters. */
TEST_F(IconListTest, RuleGetsTheItemsText)
{
    std::string longest(SETUP_TEXT_MAX + 200, 'w');
    SetItems({"first", "second", longest});
    Draw(canvas, 1, 0, kItem, RecordingRule);
    EXPECT_EQ("second", g_ruleText);
    Draw(canvas, 2, 0, kItem, RecordingRule);
    EXPECT_EQ(std::string(SETUP_TEXT_MAX - 1, 'w'), g_ruleText);
}

/* Guards against an unknown icon name stopping the text or the focus
 * rectangle, or drawing some other icon. */
TEST_F(IconListTest, UnknownIconNameDrawsNoIcon)
{
    SetItems({"COM1:"});
    g_ruleIcon = "IDI_NO_SUCH_ICON";
    Canvas plain(260, 60), focused(260, 60);
    Draw(plain, 0, 0, kItem, RecordingRule);
    ExpectItemPixels(plain, kItem, bux, TextHeight(plain), SysRgb(COLOR_WINDOW), NULL);
    Draw(focused, 0, ODS_FOCUS, kItem, RecordingRule);
    EXPECT_NE(plain.Pixels(), focused.Pixels()) << "no focus rectangle";
}

/* Guards against a combo box's items read with the list box's message. */
TEST_F(IconListTest, ComboBoxItemsAreReadWithTheComboMessage)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "",
                                 WS_CHILD | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                 0, 0, 200, 200, parent, (HMENU)2001, g_state.instance, NULL);
    ASSERT_NE(nullptr, combo);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "COM7:");
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "FILE:");
    Draw(canvas, 1, 0, kItem, RecordingRule, combo, ODT_COMBOBOX);
    EXPECT_EQ("FILE:", g_ruleText);
    Draw(canvas, 1, 0, kItem, PortIconRule, combo, ODT_COMBOBOX);
    EXPECT_EQ(pixels::RenderIconImage32(g_state.instance, "IDI_SETUP", SysRgb(COLOR_WINDOW)),
              canvas.Block(bux, kItem.top + 1, 32, 32));
}

/* Guards against a long text drawn over the item's edge. */
TEST_F(IconListTest, LongTextIsClippedToTheItem)
{
    SetItems({std::string(300, 'W')});
    Canvas wide(400, 60);
    const RECT narrow = {0, 10, 120, 44};
    Draw(wide, 0, ODS_SELECTED, narrow, PortIconRule);
    for (int y = 0; y < wide.Height(); ++y)
        for (int x = 0; x < wide.Width(); ++x)
            if (x >= narrow.right || y < narrow.top || y >= narrow.bottom)
            {
                ASSERT_EQ(kSentinel, wide.At(x, y)) << x << "," << y;
            }
}

} // namespace
