/*
 * The real LZ table: LZ32's own functions, all present since Windows 2000,
 * looked up in the module that start-up loaded from the system folder.
 */
#include "lz_api.h"

#include "../app/resolve_function.h"

static LzApi s_lz32;

const LzApi &kLz32 = s_lz32;

const LzApi *g_lz = &s_lz32;

int LoadLz32(HMODULE lz32)
{
    LzApi table = {};
    if (!ResolveFunction(lz32, "LZStart", &table.start) ||
        !ResolveFunction(lz32, "LZOpenFileA", &table.openFile) ||
        !ResolveFunction(lz32, "CopyLZFile", &table.copyFile) ||
        !ResolveFunction(lz32, "LZClose", &table.close) ||
        !ResolveFunction(lz32, "LZDone", &table.done))
        return 0;
    s_lz32 = table;
    return 1;
}
