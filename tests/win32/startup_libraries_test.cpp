/*
 * The system DLLs start-up loads (LZ32, winspool and the ones Windows loads
 * by bare name later) come from the system folder and nowhere else.  The
 * test program's environment has already called LoadSystemLibraries, as
 * WinMain does.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "app/system_libraries.h"

namespace
{

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], (DWORD)text.size());
    return text;
}

/* Guards against a DLL taken from anywhere but the system folder, and one
 * the list names but start-up never loads. */
TEST(StartupLibraries, LoadedFromTheSystemFolder)
{
    for (const char *name : {"lz32.dll", "winspool.drv", "uxtheme.dll", "dwmapi.dll", "imm32.dll",
                             "msctf.dll", "cryptbase.dll"})
    {
        SCOPED_TRACE(name);
        char path[MAX_PATH];
        ASSERT_TRUE(SystemLibraryPath(name, path, sizeof(path)));
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        {
            std::cout << "[ INFO     ] " << name << ": not shipped by this system, not loaded\n";
            continue;
        }
        HMODULE module = GetModuleHandleA(name);
        ASSERT_NE(nullptr, module);
        char loaded[MAX_PATH];
        ASSERT_NE(0u, GetModuleFileNameA(module, loaded, sizeof(loaded)));
        EXPECT_EQ(Lower(path), Lower(loaded));
    }
    /* A path that would not fit is refused, not cut. */
    char small[8];
    EXPECT_EQ(0, SystemLibraryPath("lz32.dll", small, sizeof(small)));
}

} // namespace
