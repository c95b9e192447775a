/*
 * The picture button and its sunken frame, read back pixel by pixel: the
 * frame band exactly as described (shadow, black and highlight lines, the
 * inner right column and bottom row left alone), bitmap 2039 inside it, at
 * its own size pixel for pixel and stretched to the button on a test
 * template that shows the button.  The real pages draw it the same way
 * when it is made visible; in the builds it never is.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "support/pixels.h"
#include "support/ui_driver.h"
#include "app/setup_state.h"
#include "profile/common_texts.h"
#include "profile/resource.h"
#include "ui/icon_list.h"
#include "ui/pages.h"

using pixels::Canvas;
using pixels::SysRgb;
using namespace uitest;

namespace
{

const uint32_t kSentinel = 0x123456;

enum Part
{
    PART_NONE, /* left as it was */
    PART_INSIDE,
    PART_SHADOW,
    PART_BLACK,
    PART_HIGHLIGHT
};

/* The frame around r as it is meant to look, independently of how it is
 * drawn: outer column left-2 (rows top-2..bottom) and outer row top-2
 * (columns left-2..right) shadow; inner column left-1 (rows top-1..bottom-1)
 * and inner row top-1 (columns left-1..right-1) black; outer column right+1
 * (rows top-2..bottom+1) and outer row bottom+1 (columns left-2..right+1)
 * highlight; the inner column right and inner row bottom not painted. */
Part FramePart(const RECT &r, int x, int y)
{
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
        return PART_INSIDE;
    if ((x == r.right + 1 && y >= r.top - 2 && y <= r.bottom + 1) ||
        (y == r.bottom + 1 && x >= r.left - 2 && x <= r.right + 1))
        return PART_HIGHLIGHT;
    if ((x == r.left - 2 && y >= r.top - 2 && y <= r.bottom) ||
        (y == r.top - 2 && x >= r.left - 2 && x <= r.right))
        return PART_SHADOW;
    if ((x == r.left - 1 && y >= r.top - 1 && y <= r.bottom - 1) ||
        (y == r.top - 1 && x >= r.left - 1 && x <= r.right - 1))
        return PART_BLACK;
    return PART_NONE;
}

uint32_t PartColour(Part part, uint32_t untouched)
{
    switch (part)
    {
    case PART_SHADOW:
        return SysRgb(COLOR_BTNSHADOW);
    case PART_BLACK:
        return 0x000000;
    case PART_HIGHLIGHT:
        return SysRgb(COLOR_BTNHIGHLIGHT);
    default:
        return untouched;
    }
}

/* Bitmap 2039 of this program as 0xRRGGBB rows from the top: copied at its
 * own size (w and h 0; *size gets that size), else stretched to w x h by the
 * platform in a device context of the default stretch mode, as the button's
 * own is. */
std::vector<uint32_t> Picture(int w, int h, SIZE *size = NULL)
{
    HBITMAP bitmap = LoadBitmapA(g_state.instance, MAKEINTRESOURCEA(IDB_PICTURE_BUTTON));
    BITMAP info;
    ZeroMemory(&info, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);
    if (size != NULL)
        *size = {info.bmWidth, info.bmHeight};
    if (w == 0)
    {
        w = info.bmWidth;
        h = info.bmHeight;
    }
    Canvas canvas(w, h);
    HDC memory = CreateCompatibleDC(canvas.Dc());
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (w == info.bmWidth && h == info.bmHeight)
        BitBlt(canvas.Dc(), 0, 0, w, h, memory, 0, 0, SRCCOPY);
    else
        StretchBlt(canvas.Dc(), 0, 0, w, h, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return canvas.Pixels();
}

/* Every pixel of a surface of width x height holding a button at `item`:
 * the frame around the inner rectangle, `inside` (row by row) within it,
 * `untouched` where the frame leaves the surface alone, and the sentinel
 * outside the item. */
void ExpectButtonPixels(const std::vector<uint32_t> &shown, int width, int height, const RECT &item,
                        const std::vector<uint32_t> &inside, uint32_t untouched)
{
    ASSERT_EQ((size_t)width * height, shown.size());
    const RECT inner = {item.left + 2, item.top + 2, item.right - 2, item.bottom - 2};
    const int innerWidth = inner.right - inner.left;
    ASSERT_EQ((size_t)innerWidth * (inner.bottom - inner.top), inside.size());
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            Part part = FramePart(inner, x, y);
            bool inItem = x >= item.left && x < item.right && y >= item.top && y < item.bottom;
            uint32_t expected =
                !inItem ? kSentinel
                : part == PART_INSIDE
                    ? inside[(size_t)(y - inner.top) * innerWidth + (x - inner.left)]
                    : PartColour(part, untouched);
            uint32_t px = shown[(size_t)y * width + x];
            if (px != expected && wrong++ < 10)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << px
                              << ", expected " << expected << " (part " << std::dec << part << ")";
        }
    EXPECT_EQ(0, wrong) << "pixels differ";
}

void DrawButton(Canvas &canvas, const RECT &item, UINT state, UINT id = 0)
{
    canvas.Fill(kSentinel);
    DRAWITEMSTRUCT di = {
        ODT_BUTTON, IDC_PICTURE_BUTTON, id, ODA_DRAWENTIRE, state, NULL, canvas.Dc(), item, 0};
    DrawPictureButton(NULL, &di);
}

class PictureButtonTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        /* The colours must differ from each other and from the sentinel for
         * the pixel checks to tell the parts apart. */
        std::vector<uint32_t> colours = {SysRgb(COLOR_BTNSHADOW), 0, SysRgb(COLOR_BTNHIGHLIGHT),
                                         kSentinel, SysRgb(COLOR_BTNFACE)};
        for (size_t a = 0; a < colours.size(); ++a)
            for (size_t b = a + 1; b < colours.size(); ++b)
                ASSERT_NE(colours[a], colours[b]) << a << " " << b;
    }
};

/* Guards against any line of the frame off by a pixel, painted too long or
 * too short, in the wrong colour, or the rectangle not filled. */
TEST_F(PictureButtonTest, SunkenFrameIsTheDescribedBand)
{
    Canvas canvas(40, 50);
    canvas.Fill(kSentinel);
    HPEN mine = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    HGDIOBJ before = SelectObject(canvas.Dc(), mine);
    const RECT r = {6, 5, 30, 41};
    DrawSunkenFrame(&r, canvas.Dc());
    EXPECT_EQ(mine, GetCurrentObject(canvas.Dc(), OBJ_PEN)) << "the caller's pen not put back";
    SelectObject(canvas.Dc(), before);
    DeleteObject(mine);
    /* The band reaches two pixels out from r, and nothing beyond it. */
    const RECT band = {r.left - 2, r.top - 2, r.right + 2, r.bottom + 2};
    ExpectButtonPixels(canvas.Pixels(), canvas.Width(), canvas.Height(), band,
                       std::vector<uint32_t>(24 * 36, SysRgb(COLOR_BTNSHADOW)), kSentinel);
}

/* Guards against the picture placed off the inner rectangle, scaled at its
 * own size, or the frame not being the control's outermost two pixels. */
TEST_F(PictureButtonTest, AtItsOwnSizeThePictureIsCopiedPixelForPixel)
{
    SIZE size = {0, 0};
    std::vector<uint32_t> picture = Picture(0, 0, &size);
    ASSERT_EQ(154, size.cx);
    ASSERT_EQ(248, size.cy);
    Canvas canvas(170, 270);
    const RECT item = {5, 7, 5 + size.cx + 4, 7 + size.cy + 4};
    DrawButton(canvas, item, 0);
    ExpectButtonPixels(canvas.Pixels(), canvas.Width(), canvas.Height(), item, picture, kSentinel);
}

/* Guards against the pushed, focused or disabled state changing the
 * drawing, and against an item -1 request drawing anything. */
TEST_F(PictureButtonTest, StateDoesNotChangeTheDrawing)
{
    const RECT item = {3, 4, 40, 64};
    Canvas plain(50, 70), other(50, 70);
    DrawButton(plain, item, 0);
    for (UINT state : {(UINT)ODS_SELECTED, (UINT)ODS_FOCUS, (UINT)ODS_DISABLED,
                       (UINT)(ODS_SELECTED | ODS_FOCUS | ODS_DISABLED)})
    {
        DrawButton(other, item, state);
        EXPECT_EQ(plain.Pixels(), other.Pixels()) << "state " << state;
    }
    DrawButton(other, item, ODS_FOCUS, (UINT)-1);
    ASSERT_EQ(std::vector<uint32_t>(50 * 70, kSentinel), other.Pixels());
}

/* Guards against a frame drawn without its picture when the bitmap cannot
 * be loaded. */
TEST_F(PictureButtonTest, WithoutTheBitmapNothingIsDrawn)
{
    g_state.instance = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(nullptr, g_state.instance);
    Canvas canvas(50, 70);
    DrawButton(canvas, {3, 4, 40, 64}, 0);
    g_state.instance = GetModuleHandleA(NULL);
    ASSERT_EQ(std::vector<uint32_t>(50 * 70, kSentinel), canvas.Pixels());
}

/* The test template's button: the page frame's picture button, visible. */
INT_PTR CALLBACK PictureTestDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_DRAWITEM:
        if (wParam == IDC_PICTURE_BUTTON)
            DrawPictureButton(hwnd, (const DRAWITEMSTRUCT *)lParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(hwnd, LOWORD(wParam));
        return 0;
    default:
        return 0;
    }
}

/* What a shown picture button looked like: its client area as painted. */
struct ButtonSeen
{
    bool visible = false;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

void LookAtButton(HWND dialog, bool show, ButtonSeen *seen)
{
    HWND button = GetDlgItem(dialog, IDC_PICTURE_BUTTON);
    if (show)
    {
        EnableWindow(button, TRUE);
        ShowWindow(button, SW_SHOW);
    }
    UpdateWindow(dialog);
    UpdateWindow(button);
    seen->visible = IsWindowVisible(button) != 0;
    SIZE size = pixels::ClientSize(button);
    seen->width = size.cx;
    seen->height = size.cy;
    Canvas canvas(size.cx, size.cy);
    if (pixels::CaptureClient(button, canvas))
        seen->pixels = canvas.Pixels();
}

/* The frame and the stretched picture of a button seen on a dialog.  The
 * inner column and row the frame leaves alone show the button's own
 * background: the platform erases an owner-drawn button with its parent's
 * button colour brush, the dialog's face colour. */
void ExpectShownButton(const ButtonSeen &seen)
{
    ASSERT_TRUE(seen.visible);
    ASSERT_GT(seen.width, 4);
    ASSERT_GT(seen.height, 4);
    ASSERT_EQ((size_t)seen.width * seen.height, seen.pixels.size()) << "no capture";
    const RECT item = {0, 0, seen.width, seen.height};
    ExpectButtonPixels(seen.pixels, seen.width, seen.height, item,
                       Picture(seen.width - 4, seen.height - 4), SysRgb(COLOR_BTNFACE));
}

class PictureOnDialogTest : public PictureButtonTest
{
  protected:
    HWND owner = NULL;
    void SetUp() override
    {
        PictureButtonTest::SetUp();
        g_state.environment = kEnvironmentX86;
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, desktop.left, desktop.top,
                                desktop.right, desktop.bottom, NULL, NULL, g_state.instance, NULL);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
    }
};

/* Guards against the picture button not drawing when it is visible, and
 * against its frame or stretched picture being off anywhere. */
TEST_F(PictureOnDialogTest, TestTemplateShowsTheStretchedPictureInItsFrame)
{
    ButtonSeen seen;
    std::vector<Step> steps = {
        {IDC_PICTURE_BUTTON, [&](HWND d) { LookAtButton(d, false, &seen); }, ACT_CLICK, IDOK}};
    EXPECT_EQ(IDOK, DriveModal(
                        [&] {
                            return DialogBoxParamA(g_state.instance, "IDD_TEST_PICTURE", owner,
                                                   PictureTestDlgProc, 0);
                        },
                        steps));
    ExpectShownButton(seen);
}

/* Guards against a page that does not hand its picture button's drawing
 * to DrawPictureButton, should the button ever be shown. */
TEST_F(PictureOnDialogTest, EveryPageDrawsThePictureButtonWhenItIsShown)
{
    struct Page
    {
        const char *name;
        std::function<INT_PTR()> run;
        int mark;
        bool asksOnCancel;
    };
    const Page pages[] = {
        {"welcome", [&] { return RunWelcomePage(owner); }, IDC_WELCOME_TEXT, true},
        {"model", [&] { return RunModelPage(owner); }, IDC_MODEL_LIST, true},
        {"port", [&] { return RunPortPage(owner); }, IDC_PORT_LIST, true},
        {"final", [&] { return RunFinalPage(owner, 1); }, IDC_SET_DEFAULT, false},
    };
    for (const Page &page : pages)
    {
        SCOPED_TRACE(page.name);
        ButtonSeen hidden, shown;
        std::vector<Step> steps = {{page.mark,
                                    [&](HWND d)
                                    {
                                        hidden.visible =
                                            IsWindowVisible(GetDlgItem(d, IDC_PICTURE_BUTTON)) != 0;
                                        LookAtButton(d, true, &shown);
                                    },
                                    ACT_KEY, VK_ESCAPE}};
        if (page.asksOnCancel)
            steps.push_back({IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDYES});
        DriveModal(page.run, steps);
        EXPECT_FALSE(hidden.visible) << "the template shows the picture button";
        ExpectShownButton(shown);
    }
}

} // namespace
