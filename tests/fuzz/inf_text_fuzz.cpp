/*
 * Fuzz entry for the setup information text handling: arbitrary bytes as a
 * key list (possibly without its closing NULs), as a model value and as a
 * CopyFiles value.  ASan reports any access outside the fixed buffers.
 * Built as a libFuzzer target with clang (SETUP_FUZZ), and driven with
 * random inputs by the native unit tests under the name FuzzInfText.
 */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "setupinfo/inf_text.h"

#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

extern "C" int FUZZ_ENTRY(const uint8_t *data, size_t size)
{
    /* The key list lives in a heap block of exactly its size, so a read past
     * its end is caught. */
    char *list = (char *)malloc(size ? size : 1);
    if (!list)
        return 0;
    if (size)
        memcpy(list, data, size);
    unsigned count = CountKeyNames(list, size);
    char name[1024];
    for (unsigned i = 0; i <= count && i < 64; i++)
    {
        const char *key = NthKeyName(list, size, i);
        if (!key)
            continue;
        StripEnclosingQuotes(key, name, sizeof(name));
        char quoted[1024];
        BuildQuotedKey(name, quoted, sizeof(quoted));
    }

    /* The same bytes as a NUL-terminated value of at most 1023 bytes, as the
     * private-profile reader delivers values. */
    char value[1024];
    size_t n = size < sizeof(value) - 1 ? size : sizeof(value) - 1;
    if (n)
        memcpy(value, data, n);
    value[n] = '\0';
    char files[1024];
    uint32_t fileCount = BuildDependentFileList(value, files, sizeof(files));
    /* Every counted name must lie inside the list, which ends in an empty
     * name. */
    const char *p = files;
    for (uint32_t i = 0; i < fileCount; i++)
    {
        size_t len = strnlen(p, files + sizeof(files) - p);
        if (len == 0 || p + len >= files + sizeof(files))
            abort();
        p += len + 1;
    }
    if (p >= files + sizeof(files) || *p != '\0')
        abort();

    char tokens[1024];
    memcpy(tokens, value, n + 1);
    SplitCommaToken(tokens, 0);
    memcpy(tokens, value, n + 1);
    SplitCommaToken(tokens, 1);

    char path[16];
    size_t pn = n < sizeof(path) - 1 ? n : sizeof(path) - 1;
    memcpy(path, value, pn);
    path[pn] = '\0';
    AppendBackslash(path, sizeof(path));
    CutToFolder(path, sizeof(path));
    free(list);
    return 0;
}
