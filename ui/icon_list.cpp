/*
 * Icon lists and the picture button: filling, measuring and drawing.  What
 * each item looks like (icon names, height, positions) is decided in
 * icon_list_logic.cpp; this file makes the list-box and drawing calls.
 * Every drawing object created in a draw is deleted in that draw, the
 * list's icons included: each is loaded at 32 x 32 as an icon of its own.
 */
#include "icon_list.h"

#include <strsafe.h>

#include "icon_list_logic.h"
#include "../app/setup_state.h"
#include "../profile/resource.h"

void FillIconList(HWND page, WORD listId, SHORT count, NameAtIndex nameAtIndex)
{
    HWND list = GetDlgItem(page, listId);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (count <= 0)
        return;
    /* One buffer for the whole fill, not cleared between calls: a source
     * that writes nothing for an index leaves the previous name, which is
     * found in the list, so nothing is added for that index. */
    char name[SETUP_TEXT_MAX];
    name[0] = '\0';
    for (WORD index = 0; index < (WORD)count; ++index)
    {
        nameAtIndex(index, name);
        name[SETUP_TEXT_MAX - 1] = '\0';
        /* The list box never finds an empty text (Windows and Wine answer
         * LB_ERR for it), so without this check every index a source
         * leaves empty would add an empty, selectable line. */
        if (name[0] == '\0')
            continue;
        /* (WPARAM)-1: the whole list from its top, ignoring case. */
        if (SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name) == LB_ERR)
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
    }
}

void MeasureIconItem(MEASUREITEMSTRUCT *measureItem)
{
    measureItem->itemHeight = MeasuredItemHeight(measureItem->itemHeight);
}

void ReadListItemText(HWND control, BOOL combo, UINT index, char *out)
{
    UINT lengthMsg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT textMsg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    out[0] = '\0';
    LRESULT length = SendMessageA(control, lengthMsg, index, 0);
    if (length < 0)
        return;
    if (length < SETUP_TEXT_MAX)
    {
        SendMessageA(control, textMsg, index, (LPARAM)out);
        out[length] = '\0';
        return;
    }
    /* The message takes no buffer size: read a longer text whole, then
     * keep what fits. */
    char *whole = (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T)length + 1);
    if (whole == NULL)
        return;
    SendMessageA(control, textMsg, index, (LPARAM)whole);
    (void)StringCchCopyA(out, SETUP_TEXT_MAX, whole);
    HeapFree(GetProcessHeap(), 0, whole);
}

void DrawIconItem(HWND, const DRAWITEMSTRUCT *drawItem, IconRule iconRule)
{
    if (drawItem->itemID == (UINT)-1)
        return;
    HDC dc = drawItem->hDC;
    int selected = (drawItem->itemState & ODS_SELECTED) != 0;
    COLORREF oldText =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    TEXTMETRICA metrics;
    ZeroMemory(&metrics, sizeof(metrics));
    GetTextMetricsA(dc, &metrics);
    /* bux of the system font, not of the list's own font. */
    int bux = HorizontalBaseUnit((uint32_t)GetDialogBaseUnits());
    const RECT &rc = drawItem->rcItem;
    UiRect item = {rc.left, rc.top, rc.right, rc.bottom};
    IconItemLayout layout = LayOutIconItem(item, bux, metrics.tmHeight);

    char text[SETUP_TEXT_MAX];
    ReadListItemText(drawItem->hwndItem, drawItem->CtlType == ODT_COMBOBOX, drawItem->itemID, text);
    /* Opaque over the whole item: the icon's place is filled with the
     * background too, and the text is clipped to the item. */
    ExtTextOutA(dc, layout.textX, layout.textY, ETO_CLIPPED | ETO_OPAQUE, &rc, text,
                (UINT)lstrlenA(text), NULL);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);

    iconRule(text, text);
    /* The group's 32 x 32 image at 32 x 32, whatever the system's icon
     * size: at 120 dots per inch (Windows 7 at 125 %) SM_CXICON is 40, and
     * LoadIconA and DrawIcon would scale the icon out of its 34-pixel row.
     * Not a shared load: a shared icon keeps the size of its first load
     * (the main window's class icon, at the system's size). */
    HICON icon = (HICON)LoadImageA(g_state.instance, text, IMAGE_ICON, ICON_ITEM_ICON_SIZE,
                                   ICON_ITEM_ICON_SIZE, LR_DEFAULTCOLOR);
    if (icon != NULL)
    {
        DrawIconEx(dc, layout.iconX, layout.iconY, icon, ICON_ITEM_ICON_SIZE, ICON_ITEM_ICON_SIZE,
                   0, NULL, DI_NORMAL);
        DestroyIcon(icon);
    }

    if (drawItem->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &rc);
}

void DrawSunkenFrame(const RECT *rect, HDC dc)
{
    const LONG left = rect->left;
    const LONG top = rect->top;
    const LONG right = rect->right;
    const LONG bottom = rect->bottom;
    HBRUSH shadowBrush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    HPEN highlightPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN shadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));

    if (shadowBrush != NULL)
        FillRect(dc, rect, shadowBrush);

    /* A line's end point is not painted. */
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, left - 1, bottom - 1, NULL);
    LineTo(dc, left - 1, top - 1);
    LineTo(dc, right, top - 1);

    if (highlightPen != NULL)
    {
        SelectObject(dc, highlightPen);
        MoveToEx(dc, right + 1, top - 2, NULL);
        LineTo(dc, right + 1, bottom + 1);
        LineTo(dc, left - 3, bottom + 1);
    }
    if (shadowPen != NULL)
    {
        SelectObject(dc, shadowPen);
        MoveToEx(dc, right, top - 2, NULL);
        LineTo(dc, left - 2, top - 2);
        LineTo(dc, left - 2, bottom + 1);
    }

    SelectObject(dc, oldPen);
    if (shadowBrush != NULL)
        DeleteObject(shadowBrush);
    if (highlightPen != NULL)
        DeleteObject(highlightPen);
    if (shadowPen != NULL)
        DeleteObject(shadowPen);
}

void DrawPictureButton(HWND, const DRAWITEMSTRUCT *drawItem)
{
    if (drawItem->itemID == (UINT)-1)
        return;
    HBITMAP picture = LoadBitmapA(g_state.instance, MAKEINTRESOURCEA(IDB_PICTURE_BUTTON));
    if (picture == NULL)
        return;
    HDC memory = CreateCompatibleDC(drawItem->hDC);
    if (memory == NULL)
    {
        DeleteObject(picture);
        return;
    }

    const RECT &rc = drawItem->rcItem;
    UiRect inner = PictureButtonInner(UiRect{rc.left, rc.top, rc.right, rc.bottom});
    RECT innerRect = {inner.left, inner.top, inner.right, inner.bottom};
    DrawSunkenFrame(&innerRect, drawItem->hDC);

    BITMAP info;
    ZeroMemory(&info, sizeof(info));
    GetObjectA(picture, sizeof(info), &info);
    HGDIOBJ oldBitmap = SelectObject(memory, picture);
    /* The DC's own stretch mode, left as it is. */
    StretchBlt(drawItem->hDC, inner.left, inner.top, inner.right - inner.left,
               inner.bottom - inner.top, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, oldBitmap);

    DeleteDC(memory);
    DeleteObject(picture);
}

/* lstrcmpiA is WINAPI; the portable rule takes a plain function. */
static int CompareIgnoringCaseA(const char *a, const char *b)
{
    return lstrcmpiA(a, b);
}

void ModelIconRule(const char *text, char *out)
{
    WriteIconName(ModelIconName(text), out, SETUP_TEXT_MAX);
}

void PortIconRule(const char *text, char *out)
{
    WriteIconName(PortIconName(text, CompareIgnoringCaseA), out, SETUP_TEXT_MAX);
}
