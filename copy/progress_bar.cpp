/*
 * The progress bar (see progress_bar.h), as copy_logic lays it out.
 */
#include "progress_bar.h"

#include "copy_logic.h"
#include "../app/setup_state.h"
#include "../profile/resource.h"

static const COLORREF kNavy = RGB(0, 0, 128);
static const COLORREF kWhite = RGB(255, 255, 255);
static const COLORREF kBlack = RGB(0, 0, 0);

/* One pass of the bar on a fresh device context: `part` filled, `excluded`
 * clipped away, the text drawn over the whole client area. */
static void DrawBarPart(HWND bar, const RECT &client, const RECT &part, const RECT &excluded,
                        HBRUSH brush, COLORREF textColor, const char *text)
{
    HDC dc = GetDC(bar);
    if (dc == NULL)
        return;
    ExcludeClipRect(dc, excluded.left, excluded.top, excluded.right, excluded.bottom);
    FillRect(dc, &part, brush);
    if (text != NULL)
    {
        RECT area = client;
        SetTextColor(dc, textColor);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text, -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    ReleaseDC(bar, dc);
}

void DrawProgressBar(HWND bar)
{
    LONG done = g_state.nextFileIndex;
    LONG count = (LONG)g_state.fileCount;
    RECT client = {0, 0, 0, 0};
    GetClientRect(bar, &client);
    HBRUSH navy = CreateSolidBrush(kNavy);
    ProgressLayout layout = LayoutProgressBar(done, count, client.left, client.right);
    char text[SETUP_TEXT_MAX];
    const char *shown = NULL;
    if (layout.hasText && FormatPercent(layout.percent, text, sizeof(text)))
        shown = text;
    RECT filled = {client.left, client.top, layout.split, client.bottom};
    RECT rest = {layout.split, client.top, client.right, client.bottom};
    DrawBarPart(bar, client, filled, rest, navy, kWhite, shown);
    DrawBarPart(bar, client, rest, filled, (HBRUSH)GetStockObject(WHITE_BRUSH), kBlack, shown);
    DeleteObject(navy);
}

/* The bar's static keeps no picture of the bar, so every repaint of it (a
 * window moved over the dialog, the end wait's redraws) would leave an
 * empty bordered box.  The control is subclassed when the dialog opens:
 * the static paints itself, then the bar is drawn again for the files done
 * so far.  Before the first file, and with no files at all, it stays
 * empty, as the copy has drawn nothing yet. */
static LRESULT CALLBACK ProgressBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(g_state.barStaticProc, hwnd, msg, wParam, lParam);
    if (msg == WM_PAINT && g_state.nextFileIndex > 0 && g_state.fileCount > 0)
        DrawProgressBar(hwnd);
    return result;
}

void SubclassProgressBar(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (bar == NULL)
        return;
    LONG_PTR previous = GetWindowLongPtrA(bar, GWLP_WNDPROC);
    if (previous == 0 || previous == (LONG_PTR)ProgressBarProc)
        return;
    g_state.barStaticProc = (WNDPROC)previous;
    SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)ProgressBarProc);
}
