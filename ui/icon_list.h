/*
 * The icon lists of the model and port pages and the picture button: an
 * owner-drawn list box whose every line shows a 32-pixel icon beside its
 * name, filled without duplicates from a count and a name-by-index source,
 * and an owner-drawn button that shows bitmap 2039 in a sunken frame.
 * Icons and the bitmap come from g_state.instance.
 */
#ifndef SETUP_ICON_LIST_H
#define SETUP_ICON_LIST_H

#include <windows.h>

/* Writes the name at `index` into `out` (SETUP_TEXT_MAX bytes); may leave
 * `out` untouched when it has no name for the index. */
typedef void (*NameAtIndex)(WORD index, char *out);

/* Writes into `out` (SETUP_TEXT_MAX bytes) the name of the icon resource to
 * show for `text`.  Called with the same buffer as text and output. */
typedef void (*IconRule)(const char *text, char *out);

/* Empties the list control listId of the page and adds, in the source's
 * order, each name not already in it (ignoring case).  A count of 0 or
 * below leaves the list empty.  An empty name is never added.  The
 * selection is left to the caller. */
void FillIconList(HWND page, WORD listId, SHORT count, NameAtIndex nameAtIndex);

/* The text of item `index` of a list box (or, with `combo`, a combo box),
 * cut to SETUP_TEXT_MAX - 1 characters; empty when there is no such item. */
void ReadListItemText(HWND control, BOOL combo, UINT index, char *out);

/* WM_MEASUREITEM: raises the item height to 34 when it is lower. */
void MeasureIconItem(MEASUREITEMSTRUCT *measureItem);

/* WM_DRAWITEM for an icon list: the whole item in the colours of its state,
 * the 32 x 32 image of the icon the rule names at (bux, top + 1) whatever
 * the system's icon size, the text beside it, and the
 * focus rectangle over the whole item when it has the focus.  An empty
 * list's focus request (item -1) draws nothing. */
void DrawIconItem(HWND page, const DRAWITEMSTRUCT *drawItem, IconRule iconRule);

/* WM_DRAWITEM for the picture button 2039: bitmap 2039 stretched into the
 * control less a 2-pixel sunken frame. */
void DrawPictureButton(HWND page, const DRAWITEMSTRUCT *drawItem);

/* The 2-pixel sunken band around rect (right and bottom exclusive), with
 * rect itself filled in the shadow colour. */
void DrawSunkenFrame(const RECT *rect, HDC dc);

/* The two icon rules: every model shows "IDI_PRINTER"; a port "IDI_SETUP"
 * (FILE:), "IDI_PORT" (LPT..., COM...) or "IDI_NETWORK". */
void ModelIconRule(const char *text, char *out);
void PortIconRule(const char *text, char *out);

#endif
