/*
 * Icon rules, item height and item geometry of the icon lists, and the
 * picture button's inner rectangle.  Platform-free.
 */
#include "icon_list_logic.h"

#include <stdio.h>

#include "../profile/common_texts.h"

const char *ModelIconName(const char *)
{
    return ICON_NAME_PRINTER;
}

/* "LPT" or "COM" exactly, upper case, as the first three characters.  The
 * comparison stops at the first character that differs, so a shorter text
 * is never read past its NUL. */
static int HasLocalPortPrefix(const char *text)
{
    static const char *const kPrefixes[] = {"LPT", "COM"};
    for (const char *prefix : kPrefixes)
    {
        if (text[0] == prefix[0] && text[1] == prefix[1] && text[2] == prefix[2])
            return 1;
    }
    return 0;
}

const char *PortIconName(const char *text, CompareIgnoringCase compare)
{
    if (text == nullptr)
        return ICON_NAME_NETWORK;
    if (compare(text, kPortFile) == 0)
        return ICON_NAME_SETUP;
    if (HasLocalPortPrefix(text))
        return ICON_NAME_PORT;
    return ICON_NAME_NETWORK;
}

void WriteIconName(const char *name, char *out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return;
    (void)snprintf(out, outSize, "%s", name);
}

uint32_t MeasuredItemHeight(uint32_t requested)
{
    return requested < ICON_ITEM_HEIGHT ? ICON_ITEM_HEIGHT : requested;
}

int32_t HorizontalBaseUnit(uint32_t dialogBaseUnits)
{
    return (int32_t)(dialogBaseUnits & 0xFFFF);
}

/* Worked in 64 bits and brought back into range, so that no rectangle can
 * overflow the sums. */
static int32_t Clamp32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return (int32_t)value;
}

IconItemLayout LayOutIconItem(const UiRect &item, int32_t bux, int32_t textHeight)
{
    IconItemLayout layout = {};
    layout.iconX = bux;
    layout.iconY = Clamp32((int64_t)item.top + 1);
    layout.textX = Clamp32(2 * (int64_t)bux + ICON_ITEM_ICON_SIZE);
    /* C++ division truncates toward zero, as the platform's C did. */
    layout.textY = Clamp32(((int64_t)item.top + item.bottom - textHeight) / 2);
    return layout;
}

UiRect PictureButtonInner(const UiRect &item)
{
    UiRect inner = {};
    inner.left = Clamp32((int64_t)item.left + 2);
    inner.top = Clamp32((int64_t)item.top + 2);
    inner.right = Clamp32((int64_t)item.right - 2);
    inner.bottom = Clamp32((int64_t)item.bottom - 2);
    return inner;
}
