/*
 * Making a printer the default, against Wine's real spooler and profile:
 * the "device" entry of the "windows" section is "name,driver,port".  The
 * printer is registered directly through winspool, so these cases do not
 * depend on the registration code.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/common_texts.h"
#include "spooler/default_printer.h"
#include "spooler/spooler_api.h"
#include "support/temp_inf.h"

namespace
{

const char kPrinter[] = "Tarvik Default Test";
const char kDriver[] = "Tarvik Default Driver";
const char kSentinel[] = "Sentinel Printer,Sentinel Driver,LPT1:";

std::string ProfileDevice()
{
    char value[1024];
    GetProfileStringA("windows", "device", "(none)", value, sizeof(value));
    return value;
}

class DefaultPrinterTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_spooler = &kWinSpooler;
        char dir[MAX_PATH];
        DWORD needed = 0;
        ASSERT_TRUE(GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)dir, sizeof(dir), &needed));
        for (const char *name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "M270.GPD"})
            ASSERT_TRUE(tempinf::Write(std::string(dir) + "\\" + name, ""));
        DRIVER_INFO_3A driver = {};
        driver.cVersion = 3;
        driver.pName = SpoolerText(kDriver);
        driver.pEnvironment = SpoolerText(kEnvironmentX86);
        driver.pDriverPath = SpoolerText("UNIDRV.DLL");
        driver.pDataFile = SpoolerText("M270.GPD");
        driver.pConfigFile = SpoolerText("UNIDRVUI.DLL");
        ASSERT_TRUE(AddPrinterDriverA(NULL, 3, (LPBYTE)&driver)) << GetLastError();
        PRINTER_INFO_2A printer = {};
        printer.pPrinterName = SpoolerText(kPrinter);
        printer.pPortName = SpoolerText("FILE:");
        printer.pDriverName = SpoolerText(kDriver);
        printer.pPrintProcessor = SpoolerText("WinPrint");
        printer.pDatatype = SpoolerText("RAW");
        HANDLE added = AddPrinterA(NULL, 2, (LPBYTE)&printer);
        ASSERT_NE((HANDLE)NULL, added) << GetLastError();
        ClosePrinter(added);
        ASSERT_TRUE(WriteProfileStringA("windows", "device", kSentinel));
    }

    void TearDown() override
    {
        g_spooler = &kWinSpooler;
        HANDLE printer = NULL;
        PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
        if (OpenPrinterA(SpoolerText(kPrinter), &printer, &defaults))
        {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
        DeletePrinterDriverA(NULL, SpoolerText(kEnvironmentX86), SpoolerText(kDriver));
    }
};

/* Guards against a wrong device entry (blanks, order, missing port) and a
 * success that writes nothing. */
TEST_F(DefaultPrinterTest, WritesNameDriverAndPortWithoutBlanks)
{
    EXPECT_EQ(1, MakePrinterDefault(kPrinter));
    EXPECT_EQ(std::string(kPrinter) + "," + kDriver + ",FILE:", ProfileDevice());
    char name[256];
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(kPrinter, name);
}

BOOL WINAPI RefuseGetPrinter(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD needed)
{
    *needed = 0;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

/* Guards against a failure that still changes the profile, or that is
 * reported as success. */
TEST_F(DefaultPrinterTest, FailuresAnswer0AndLeaveTheProfile)
{
    SpoolerApi refuse = kWinSpooler;
    refuse.getPrinter = RefuseGetPrinter;
    struct Case
    {
        const char *what;
        const char *name;
        const SpoolerApi *spooler;
    } cases[] = {
        {"unknown printer", "No Such Printer", &kWinSpooler},
        {"trailing blank", "Tarvik Default Test ", &kWinSpooler},
        {"no name", nullptr, &kWinSpooler},
        {"empty name", "", &kWinSpooler},
        {"record refused", kPrinter, &refuse},
    };
    for (const Case &c : cases)
    {
        g_spooler = c.spooler;
        EXPECT_EQ(0, MakePrinterDefault(c.name)) << c.what;
        EXPECT_EQ(kSentinel, ProfileDevice()) << c.what;
    }
}

} // namespace
