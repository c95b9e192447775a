/*
 * The real file table: kernel32's own functions.
 */
#include "file_api.h"

const FileApi kKernelFiles = {CreateHardLinkA, CopyFileA, MoveFileExA};

const FileApi *g_files = &kKernelFiles;
