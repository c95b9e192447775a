/*
 * The four programs on a 64-bit Windows.  In a 64-bit Wine prefix they run
 * under WoW64, as on Vista x64 and 7 x64, which report the supported
 * versions 6.0 and 6.1.  Each must refuse with its "Install Error" box before
 * it does anything: the user's printer of the model's name, its driver, the
 * driver directory and the default printer stay as they were.
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "driver.h"
#include "refusal.h"
#include "tests/win32/support/spooler_enum.h"

using namespace e2e;

namespace
{

/* SETUP_WOW64_PROGRAMS: the programs' Windows paths, separated by '|'. */
std::vector<std::string> Programs()
{
    std::vector<std::string> programs;
    std::istringstream list(Env("SETUP_WOW64_PROGRAMS"));
    for (std::string program; std::getline(list, program, '|');)
        if (!program.empty())
            programs.push_back(program);
    return programs;
}

/* Everything a run could change: the drivers of both environments, the
 * printers, the files of the x86 driver directory and its "3" folder, and
 * the default printer; one line each, sorted. */
std::vector<std::string> SpoolerState()
{
    std::vector<std::string> lines;
    for (const char *environment : {"Windows NT x86", "Windows x64"})
        for (const DRIVER_INFO_2A &d : spoolenum::Drivers<DRIVER_INFO_2A>(environment, 2))
            lines.push_back(std::string("driver ") + environment + "|" + d.pName + "|" +
                            (d.pDataFile ? d.pDataFile : ""));
    for (const PRINTER_INFO_2A &p : spoolenum::LocalPrinters<PRINTER_INFO_2A>(2))
        lines.push_back(std::string("printer ") + p.pPrinterName + "|" + p.pDriverName + "|" +
                        p.pPortName);
    DWORD needed = 0;
    char directory[MAX_PATH] = "";
    GetPrinterDriverDirectoryA(NULL, (LPSTR) "Windows NT x86", 1, (LPBYTE)directory,
                               sizeof(directory), &needed);
    for (std::string folder : {std::string(directory), std::string(directory) + "\\3"})
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            lines.push_back("file " + folder + "\\" + found.cFileName + " " +
                            std::to_string(found.nFileSizeLow));
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
    lines.push_back("default " + DefaultPrinterEntry());
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

// Guards against a 64-bit Windows getting past the refusal box (as for an
// unsupported version) to the port page, which would delete the user's
// printer of the model's name.  The box's texts are ASCII in every build.
TEST(Wow64, RefusedBeforeTouchingTheSpooler)
{
    const std::vector<std::string> programs = Programs();
    if (programs.empty())
        GTEST_SKIP() << "SETUP_WOW64_PROGRAMS not set";
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    ASSERT_TRUE(wow64) << "the prefix is not a 64-bit one: nothing would be tested";

    for (const char *model : {"M270", "M470"})
    {
        std::string name = std::string("Tarvik ") + model;
        ASSERT_TRUE(AddPrinterOf(name, "LPT1:", (std::string(model) + ".GPD").c_str()))
            << name << ": " << GetLastError();
    }
    ASSERT_TRUE(WriteProfileStringA("windows", "device", "Tarvik M270,Tarvik M270,LPT1:"));
    const std::vector<std::string> before = SpoolerState();
    ASSERT_NE(std::find(before.begin(), before.end(), "printer Tarvik M470|Tarvik M470|LPT1:"),
              before.end())
        << "the seeded printer is not listed";

    for (const std::string &program : programs)
    {
        size_t slash = program.find_last_of('\\');
        const std::string folder = program.substr(0, slash);
        const std::string model = program.substr(slash + 1, 4);
        for (const char *version : {"vista", "win7"})
        {
            SCOPED_TRACE(program + " on " + version);
            ASSERT_TRUE(SetWindowsVersion(version));
            Process p;
            ASSERT_TRUE(p.Start(program, folder));
            ExpectRefusedWithExitZero(p, "QXV_" + model + "_Driver_Setup", 20000);
            EXPECT_EQ(SpoolerState(), before);
        }
    }
    SetWindowsVersion("win7");
}
