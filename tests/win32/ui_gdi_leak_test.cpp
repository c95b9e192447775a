/*
 * No GDI object outlives the draw that made it: the icon-list item, the
 * picture button and the sunken frame are each drawn many times with the
 * process's GDI objects counted (gdi_count.h) before and after; the test's
 * power too: draws that leak one brush, pen, bitmap or device context each
 * are caught at one object per draw.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

#include <functional>
#include <string>

#include "support/gdi_count.h"
#include "support/pixels.h"
#include "app/setup_state.h"
#include "profile/resource.h"
#include "ui/icon_list.h"

using pixels::Canvas;

namespace
{

const int kDraws = 100;

class GdiLeakTest : public ::testing::Test
{
  protected:
    gdicount::Method method = gdicount::METHOD_NONE;
    HWND parent = NULL;
    HWND list = NULL;

    void SetUp() override
    {
        std::string why;
        method = gdicount::Calibrate(&why);
        if (method == gdicount::METHOD_NONE)
            GTEST_SKIP() << why;
        static bool told = false;
        if (!told)
            printf("GDI objects are counted with %s\n", gdicount::MethodName(method));
        told = true;
        g_state.instance = GetModuleHandleA(NULL);
        parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 300, 300, NULL, NULL,
                                 g_state.instance, NULL);
        list = CreateWindowExA(0, "LISTBOX", "",
                               WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY, 0, 0,
                               250, 200, parent, (HMENU)IDC_PORT_LIST, g_state.instance, NULL);
        ASSERT_NE(nullptr, list);
        for (const char *port : {"FILE:", "COM1:", "\\\\server\\queue"})
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)port);
    }
    void TearDown() override
    {
        if (parent != NULL)
            DestroyWindow(parent);
    }

    /* GDI objects gained per draw over kDraws draws, after a few draws that
     * fill the platform's own caches (shared icons, fonts). */
    double GainedPerDraw(const std::function<void()> &draw)
    {
        for (int i = 0; i < 3; ++i)
            draw();
        long before = gdicount::Count(method);
        for (int i = 0; i < kDraws; ++i)
            draw();
        long after = gdicount::Count(method);
        return (double)(after - before) / kDraws;
    }

    /* Draws item `id` of control `ctlId` onto `dc`: through the icon-list
     * drawing with `rule`, or as the picture button when `rule` is NULL. */
    void DrawItem(HDC dc, UINT id, UINT state, UINT ctlId, RECT rc, IconRule rule) const
    {
        DRAWITEMSTRUCT di = {};
        di.CtlType = rule == NULL ? ODT_BUTTON : ODT_LISTBOX;
        di.CtlID = ctlId;
        di.itemID = id;
        di.itemAction = ODA_DRAWENTIRE;
        di.itemState = state;
        di.hwndItem = rule == NULL ? NULL : list;
        di.hDC = dc;
        di.rcItem = rc;
        if (rule == NULL)
            DrawPictureButton(parent, &di);
        else
            DrawIconItem(parent, &di, rule);
    }
};

const RECT kItemRect = {0, 34, 250, 68};
const RECT kButtonRect = {10, 10, 39, 59};

/* Guards against a brush, pen, bitmap or memory context created in a draw
 * and not deleted in it. */
TEST_F(GdiLeakTest, DrawingKeepsNoObject)
{
    Canvas canvas(300, 300);
    ASSERT_TRUE(canvas.Ok());
    struct Case
    {
        const char *name;
        UINT id, state, ctlId;
        IconRule rule; /* NULL: the picture button, or with no control the sunken frame */
    };
    const Case cases[] = {
        {"port item, selected and focused", 0, ODS_SELECTED | ODS_FOCUS, IDC_PORT_LIST,
         PortIconRule},
        {"network item", 2, 0, IDC_PORT_LIST, PortIconRule},
        {"model item", 1, ODS_SELECTED, IDC_MODEL_LIST, ModelIconRule},
        {"empty list's focus", (UINT)-1, ODS_FOCUS, IDC_PORT_LIST, PortIconRule},
        {"picture button", 0, 0, IDC_PICTURE_BUTTON, NULL},
        {"sunken frame", 0, 0, 0, NULL},
    };
    for (const Case &c : cases)
        EXPECT_EQ(0.0, GainedPerDraw(
                           [&]
                           {
                               if (c.ctlId == 0)
                                   DrawSunkenFrame(&kButtonRect, canvas.Dc());
                               else
                                   DrawItem(canvas.Dc(), c.id, c.state, c.ctlId,
                                            c.rule ? kItemRect : kButtonRect, c.rule);
                           }))
            << c.name << " (counted by " << gdicount::MethodName(method) << ")";
}

/* Guards against a count that would not see a leak: a draw that leaks one
 * object of each kind the drawing code creates must show as one object per
 * draw. */
TEST_F(GdiLeakTest, OneLeakedObjectPerDrawIsSeen)
{
    Canvas canvas(300, 300);
    struct Case
    {
        const char *name;
        std::function<void()> leak;
    };
    const Case cases[] = {
        {"brush", [] { CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)); }},
        {"pen", [] { CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)); }},
        {"bitmap", [] { LoadBitmapA(g_state.instance, MAKEINTRESOURCEA(IDB_PICTURE_BUTTON)); }},
        {"device context", [&] { CreateCompatibleDC(canvas.Dc()); }},
    };
    for (const Case &c : cases)
        EXPECT_EQ(1.0, GainedPerDraw(
                           [&]
                           {
                               DrawItem(canvas.Dc(), 0, 0, IDC_PICTURE_BUTTON, kButtonRect, NULL);
                               c.leak();
                           }))
            << "a leaked " << c.name << " per draw";
}

} // namespace
