/*
 * The real LZ table: LZ32's own functions, all present since Windows 2000.
 */
#include "lz_api.h"

const LzApi kLz32 = {LZStart, LZOpenFileA, CopyLZFile, LZClose, LZDone};

const LzApi *g_lz = &kLz32;
