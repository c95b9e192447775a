/*
 * The plain decisions behind the icon lists: which icon a model or a port
 * name gets, the fixed item height, and where an item's icon and text go.
 * Platform-free: no <windows.h>, so the unit tests build it natively; the
 * Win32 drawing in icon_list.cpp asks these functions and does the calls.
 */
#ifndef SETUP_ICON_LIST_LOGIC_H
#define SETUP_ICON_LIST_LOGIC_H

#include <stddef.h>
#include <stdint.h>

#include "ui_logic.h"

/* Icon resource names of the program's own icons. */
#define ICON_NAME_SETUP "IDI_SETUP"
#define ICON_NAME_PRINTER "IDI_PRINTER"
#define ICON_NAME_PORT "IDI_PORT"
#define ICON_NAME_NETWORK "IDI_NETWORK"

/* Every item holds the 32-pixel icon with one pixel above and one below. */
#define ICON_ITEM_HEIGHT 34
#define ICON_ITEM_ICON_SIZE 32

/* A text comparison that ignores letter case and answers 0 for equal texts,
 * as lstrcmpiA does.  The port rule is given the platform's own, which also
 * ignores what the platform's collation ignores (Windows and Wine take
 * "FILE:" followed by a soft hyphen in code page 1252 as equal to "FILE:"). */
typedef int (*CompareIgnoringCase)(const char *a, const char *b);

/* "IDI_PRINTER", whatever the model. */
const char *ModelIconName(const char *text);

/* "IDI_SETUP" for a text equal to "FILE:" by `compare`; else "IDI_PORT"
 * when the first three characters are exactly "LPT" or "COM" (upper case);
 * else "IDI_NETWORK". */
const char *PortIconName(const char *text, CompareIgnoringCase compare);

/* Copies an icon name into a rule's output buffer of outSize bytes, cut to
 * fit.  The name is a constant, never the buffer itself, so a rule may be
 * handed the same buffer as text and output. */
void WriteIconName(const char *name, char *out, size_t outSize);

/* The item height after a measure request: raised to ICON_ITEM_HEIGHT when
 * lower (compared unsigned), otherwise kept. */
uint32_t MeasuredItemHeight(uint32_t requested);

/* bux: the low 16 bits of the platform's dialog base units. */
int32_t HorizontalBaseUnit(uint32_t dialogBaseUnits);

/* Where one item's parts go, in the item's device coordinates. */
struct IconItemLayout
{
    int32_t iconX; /* bux */
    int32_t iconY; /* item top + 1 */
    int32_t textX; /* 2 * bux + 32 */
    int32_t textY; /* (top + bottom - text height) / 2, truncated toward zero */
};

IconItemLayout LayOutIconItem(const UiRect &item, int32_t bux, int32_t textHeight);

/* The inner rectangle of the picture button: the item moved in by 2 pixels
 * on each side, so that the frame around it is the control's outermost two
 * pixels. */
UiRect PictureButtonInner(const UiRect &item);

#endif
