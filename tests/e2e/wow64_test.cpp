/*
 * The four programs on a 64-bit Windows.  In a 64-bit Wine prefix they run
 * under WoW64, as on Vista x64 and 7 x64, which report the supported
 * versions 6.0 and 6.1.  Each must refuse with its "Install Error" box before
 * it does anything: the user's printer of the model's name, its driver, the
 * driver directory and the default printer stay as they were.
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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
    std::string list = Env("SETUP_WOW64_PROGRAMS");
    for (size_t start = 0; start < list.size();)
    {
        size_t end = std::min(list.find('|', start), list.size());
        if (end > start)
            programs.push_back(list.substr(start, end - start));
        start = end + 1;
    }
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

// A 64-bit Windows must be refused like an unsupported version, with the
// exact English box (stop icon, no owner), no main window and exit code 0,
// before the spooler is touched: the port page would otherwise delete the
// user's printer of the model's name and the x86 driver's removal fail.
// The box's texts are ASCII, the same in the Korean code page, so the
// Korean builds run under the driver's own.
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
