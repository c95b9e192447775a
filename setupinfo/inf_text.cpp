/*
 * Platform-free text handling of the setup information reader (see
 * inf_text.h).
 */
#include "inf_text.h"

#include <stdio.h>
#include <string.h>

#include "../profile/common_texts.h"

/* Length of the name at `p`, or `avail` when no NUL closes it in the buffer. */
static size_t BoundedLength(const char *p, size_t avail)
{
    const void *nul = memchr(p, '\0', avail);
    return nul ? (size_t)((const char *)nul - p) : avail;
}

unsigned CountKeyNames(const char *list, size_t listSize)
{
    unsigned count = 0;
    size_t pos = 0;
    while (pos < listSize && list[pos] != '\0')
    {
        size_t len = BoundedLength(list + pos, listSize - pos);
        if (len == listSize - pos)
            break;
        ++count;
        pos += len + 1;
    }
    return count;
}

const char *NthKeyName(const char *list, size_t listSize, unsigned index)
{
    size_t pos = 0;
    for (;;)
    {
        if (pos >= listSize || list[pos] == '\0')
            return nullptr;
        size_t len = BoundedLength(list + pos, listSize - pos);
        if (len == listSize - pos)
            return nullptr;
        if (index == 0)
            return list + pos;
        --index;
        pos += len + 1;
    }
}

void StripEnclosingQuotes(const char *name, char *out, size_t outSize)
{
    if (outSize == 0)
        return;
    size_t len = strlen(name);
    size_t inner = len >= 2 ? len - 2 : 0;
    if (inner > outSize - 1)
        inner = outSize - 1;
    if (inner > 0)
        memcpy(out, name + 1, inner);
    out[inner] = '\0';
}

int IsUsableModelName(const char *name, size_t characters)
{
    if (name[0] == '\0' || characters > MODEL_NAME_MAX_CHARS)
        return 0;
    return strpbrk(name, "\\,") == nullptr;
}

int BuildQuotedKey(const char *name, char *out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    int written = snprintf(out, outSize, "\"%s\"", name);
    if (written < 0 || (size_t)written >= outSize)
    {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

char *SplitCommaToken(char *text, unsigned index)
{
    char *p = text;
    for (;;)
    {
        while (*p == ',')
            ++p;
        if (*p == '\0')
            return nullptr;
        char *start = p;
        while (*p != '\0' && *p != ',')
            ++p;
        if (index == 0)
        {
            *p = '\0';
            return start;
        }
        --index;
    }
}

int AppendBackslash(char *path, size_t pathSize)
{
    size_t len = BoundedLength(path, pathSize);
    if (len + 2 > pathSize)
        return 0;
    path[len] = '\\';
    path[len + 1] = '\0';
    return 1;
}

void CutToFolder(char *path, size_t pathSize)
{
    if (pathSize == 0)
        return;
    if (path[0] == '\0')
    {
        (void)snprintf(path, pathSize, "%s", kCurrentFolder);
        return;
    }
    char *slash = strrchr(path, '\\');
    if (slash)
        slash[1] = '\0';
}

uint32_t BuildDependentFileList(const char *copyFiles, char *list, size_t listSize)
{
    if (listSize == 0)
        return 0;
    uint32_t count = 0;
    size_t used = 0;
    list[0] = '\0';
    /* Keep one byte back for the list's closing empty name. */
    size_t room = listSize - 1;
    const char *p = copyFiles;
    while (*p != '\0')
    {
        if (*p == '@')
            ++p;
        const char *end = strchr(p, ',');
        size_t len = end ? (size_t)(end - p) : strlen(p);
        if (len > 0)
        {
            if (used + len + 1 > room)
                break;
            memcpy(list + used, p, len);
            used += len;
            list[used++] = '\0';
            ++count;
        }
        if (!end)
            break;
        p = end + 1;
    }
    list[used] = '\0';
    return count;
}
