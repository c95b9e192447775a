/*
 * The system DLLs start-up loads (LZ32, winspool and the ones Windows loads
 * by bare name later) come from the system folder and nowhere else.  The
 * test program's environment has already called LoadSystemLibraries, as
 * WinMain does.  And the 64-bit-Windows part of the platform check, whose
 * refusal the end-to-end test sees in a WoW64 prefix.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "app/startup.h"
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

BOOL WINAPI FailsToTell(HANDLE, PBOOL wow64)
{
    *wow64 = FALSE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
BOOL WINAPI AnswersWow64(HANDLE, PBOOL wow64)
{
    *wow64 = TRUE;
    return TRUE;
}
BOOL WINAPI AnswersNative(HANDLE, PBOOL wow64)
{
    *wow64 = FALSE;
    return TRUE;
}

/* Guards against a 64-bit Windows let on to the spooler, also when the
 * question fails, and against refusing Windows 2000 and XP before SP2,
 * whose kernel32 lacks the call. */
TEST(StartupWow64, OnlyAnAnswerOfNoLetsTheProgramOn)
{
    struct
    {
        IsWow64ProcessProc call;
        int refused;
    } cases[] = {{NULL, 0}, {AnswersNative, 0}, {AnswersWow64, 1}, {FailsToTell, 1}};
    for (const auto &c : cases)
        EXPECT_EQ(c.refused, RunsUnderWow64(c.call)) << (void *)c.call;
    /* This 32-bit prefix reports Windows 7 on x86: the real lookup passes. */
    EXPECT_EQ(1, DetectSupportedSystem());
}

} // namespace
