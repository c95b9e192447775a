/*
 * Progress arithmetic, error table, name check and path building of the copy
 * dialog (see copy_logic.h).  Platform-free.
 */
#include "copy_logic.h"

#include <stdio.h>
#include <string.h>

#include "../profile/common_texts.h"

/* snprintf into a fixed buffer; 1 when all of it fits, else `out` empty. */
static int Fits(int n, char *out, size_t outSize)
{
    if (n >= 0 && (size_t)n < outSize)
        return 1;
    if (outSize > 0)
        out[0] = '\0';
    return 0;
}

int32_t ProgressPercent(int32_t done, int32_t count)
{
    if (count <= 0)
        return -1;
    int64_t product = (int64_t)100 * done;
    /* Rounded half away from zero, as MulDiv rounds. */
    int64_t rounded = product >= 0 ? (2 * product + count) / (2 * (int64_t)count)
                                   : -((-2 * product + count) / (2 * (int64_t)count));
    if (rounded > INT32_MAX || rounded < INT32_MIN)
        return -1;
    return (int32_t)rounded;
}

ProgressLayout LayoutProgressBar(int32_t done, int32_t count, int32_t left, int32_t right)
{
    ProgressLayout layout = {left, -1, 0};
    if (count <= 0 || done < 0)
        return layout;
    layout.percent = ProgressPercent(done, count);
    layout.hasText = 1;
    /* In 64 bits: the width of a rectangle spanning more than half the
     * 32-bit range, and its product with the percentage, overflow 32. */
    int64_t width = right > left ? (int64_t)right - left : 0;
    if (layout.percent >= 100)
        layout.split = right;
    else if (layout.percent <= 0)
        /* Also -1, MulDiv's answer when done is so far beyond count that
         * the percentage overflows. */
        layout.split = left;
    else
        /* The product is formed in floating point and truncated; 0.01 is
         * stored a little above a hundredth, so this is exactly
         * (percent * width) / 100 in integers, on x87 and SSE alike.  It
         * stays below the width, so the sum lies inside the bar. */
        layout.split = (int32_t)(left + (int64_t)(layout.percent * (double)width * 0.01));
    return layout;
}

int FormatPercent(int32_t percent, char *out, size_t outSize)
{
    return Fits(snprintf(out, outSize, kPercentFormat, (int)percent), out, outSize);
}

uint16_t CopyErrorStringId(int32_t code)
{
    switch (code)
    {
    case COPY_ERROR_OPEN:
        return IDS_ERR_FILE_OPEN;
    case -1: /* LZERROR_BADINHANDLE */
        return IDS_ERR_BAD_SOURCE;
    case -2: /* LZERROR_BADOUTHANDLE */
        return IDS_ERR_BAD_DEST;
    case -3: /* LZERROR_READ */
        return IDS_ERR_DAMAGED;
    case -4: /* LZERROR_WRITE */
        return IDS_ERR_DISK_FULL;
    case -5: /* LZERROR_GLOBALLOC */
        return IDS_ERR_MEMORY;
    case -6: /* LZERROR_GLOBLOCK */
        return IDS_ERR_DECOMPRESS;
    case -8: /* LZERROR_UNKNOWNALG */
        return IDS_ERR_DAMAGED;
    default: /* -7 LZERROR_BADVALUE and anything else */
        return IDS_ERR_UNKNOWN;
    }
}

int CopyFileOutcome(int32_t code)
{
    if (code == 0)
        return COPY_FILE_DONE;
    if (code == -1 || code == -2)
        return COPY_FILE_RETRY;
    return COPY_FILE_GIVE_UP;
}

static char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

int StartsWithUpper(const char *text, const char *upper)
{
    for (; *upper != '\0'; ++text, ++upper)
        if (UpperAscii(*text) != *upper)
            return 0;
    return 1;
}

int IsDeviceName(const char *name)
{
    static const char *const kDevices[] = {"CON",    "PRN",    "AUX",    "NUL",
                                           "CLOCK$", "CONIN$", "CONOUT$"};
    /* The part before the first dot, without the blanks that end it. */
    size_t length = strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    char base[8];
    if (length == 0 || length >= sizeof(base))
        return 0;
    for (size_t i = 0; i < length; ++i)
        base[i] = UpperAscii(name[i]);
    base[length] = '\0';
    for (const char *device : kDevices)
        if (strcmp(base, device) == 0)
            return 1;
    return length == 4 && (memcmp(base, "COM", 3) == 0 || memcmp(base, "LPT", 3) == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

int IsBareFileName(const char *name)
{
    if (name == nullptr || name[0] == '\0')
        return 0;
    if (strpbrk(name, "\\/:") != nullptr)
        return 0;
    if (name[strspn(name, ". ")] == '\0')
        return 0;
    return !IsDeviceName(name) && !IsWorkName(name);
}

int BuildDestinationPath(const char *directory, const char *name, char *out, size_t outSize)
{
    return Fits(snprintf(out, outSize, "%s%s", directory, name), out, outSize);
}

int BuildVersionPath(const char *directory, int32_t version, const char *name, char *out,
                     size_t outSize)
{
    size_t len = strlen(directory);
    const char *separator = len > 0 && directory[len - 1] == '\\' ? "" : "\\";
    return Fits(snprintf(out, outSize, "%s%s%d\\%s", directory, separator, (int)version, name), out,
                outSize);
}

const char *PathFileName(const char *path)
{
    const char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

int LzFallbackName(const char *path, char *out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    size_t len = strlen(path);
    /* The result is at most two characters longer. */
    if (len + 3 > outSize)
    {
        out[0] = '\0';
        return 0;
    }
    memcpy(out, path, len + 1);
    char *dot = strchr(out + (PathFileName(path) - path), '.');
    if (dot == nullptr)
        memcpy(out + len, "._", 3);
    else if (strlen(dot + 1) < 3)
        memcpy(out + len, "_", 2);
    else
        out[len - 1] = '_';
    return 1;
}

static const char kWorkPrefix[] = "~SETUP-";
static const char *const kWorkExtensions[] = {".NEW", ".OLD"};
static const char kLetGoExtension[] = ".D";
#define WORK_HASH_DIGITS 12

/* FNV-1a over the name with ASCII letters folded, cut to 48 bits: names
 * that differ only in the case of ASCII letters get the same hash, as the
 * file system treats them as one file. */
static uint64_t WorkHash(const char *name)
{
    uint64_t hash = 14695981039346656037ULL;
    for (const char *p = name; *p != '\0'; ++p)
    {
        hash ^= (uint8_t)UpperAscii(*p);
        hash *= 1099511628211ULL;
    }
    return hash & 0xFFFFFFFFFFFFULL;
}

/* `destination` with its last component replaced by the working name of
 * that component with `extension` and `suffix`. */
static int BuildBeside(const char *destination, const char *extension, const char *suffix,
                       char *out, size_t outSize)
{
    const char *name = PathFileName(destination);
    return Fits(snprintf(out, outSize, "%.*s%s%012llX%s%s", (int)(name - destination), destination,
                         kWorkPrefix, (unsigned long long)WorkHash(name), extension, suffix),
                out, outSize);
}

int BuildWorkPath(const char *destination, int kind, char *out, size_t outSize)
{
    if (kind != COPY_WORK_TEMPORARY && kind != COPY_WORK_KEPT)
        return Fits(-1, out, outSize);
    return BuildBeside(destination, kWorkExtensions[kind], "", out, outSize);
}

int BuildLetGoPath(const char *destination, unsigned number, char *out, size_t outSize)
{
    if (number >= COPY_LET_GO_MAX)
        return Fits(-1, out, outSize);
    const char digits[] = {(char)('0' + number / 10), (char)('0' + number % 10), '\0'};
    return BuildBeside(destination, kLetGoExtension, digits, out, outSize);
}

int BuildLetGoPattern(const char *destination, char *out, size_t outSize)
{
    return BuildBeside(destination, kLetGoExtension, "??", out, outSize);
}

int IsWorkName(const char *name)
{
    const size_t prefix = sizeof(kWorkPrefix) - 1;
    if (strlen(name) != prefix + WORK_HASH_DIGITS + 4 || !StartsWithUpper(name, kWorkPrefix) ||
        strspn(name + prefix, "0123456789ABCDEFabcdef") < WORK_HASH_DIGITS)
        return 0;
    const char *extension = name + prefix + WORK_HASH_DIGITS;
    if (StartsWithUpper(extension, kLetGoExtension))
        return strspn(extension + 2, "0123456789") == 2;
    return StartsWithUpper(extension, kWorkExtensions[0]) ||
           StartsWithUpper(extension, kWorkExtensions[1]);
}

int IsFileBusyError(uint32_t error)
{
    return error == 5 /* ERROR_ACCESS_DENIED */ || error == 32 /* ERROR_SHARING_VIOLATION */;
}

int32_t FileErrorCode(uint32_t error)
{
    if (error == 112 /* ERROR_DISK_FULL */ || error == 39 /* ERROR_HANDLE_DISK_FULL */)
        return -4; /* LZERROR_WRITE */
    return COPY_ERROR_OPEN;
}

int FitsOpenRecord(const char *path)
{
    return strlen(path) < COPY_LZ_PATH_MAX;
}

int AddKeptCopy(KeptCopies *kept, uint32_t entry)
{
    if (kept->count >= COPY_KEPT_MAX)
        return 0;
    kept->entries[kept->count++] = entry;
    return 1;
}
