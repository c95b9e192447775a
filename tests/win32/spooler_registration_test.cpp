/*
 * Driver and printer registration against Wine's real spooler, in the
 * test's throwaway prefix, and through stand-in spoolers behind g_spooler
 * for what Wine does not do: refusing a driver, keeping the level-6 fields
 * it drops (provider, hardware id, driver date, previous names), and the
 * access, in-use and file rules of Windows' spooler (rules_spooler.h).
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/run_end.h"
#include "app/sequence_logic.h"
#include "app/setup_state.h"
#include "copy/copy_logic.h"
#include "profile/build_profile.h"
#include "profile/common_texts.h"
#include "setupinfo/setup_info.h"
#include "spooler/kept_records.h"
#include "spooler/registration.h"
#include "spooler/spooler_api.h"
#include "support/rules_spooler.h"
#include "support/spooler_enum.h"
#include "support/temp_inf.h"
#include "support/ui_driver.h"
#include "ui/pages.h"

namespace
{

const char kModel[] = "Tarvik M270 Test";
const char kInf[] = "[TarvikSystems]\r\n"
                    "\"Tarvik M270 Test\"=M270.Install,TARVIK_M270_TEST\r\n"
                    "\"Tarvik M270 EMF\"=EMF.Install\r\n"
                    "[M270.Install]\r\n"
                    "CopyFiles=@M270.GPD,M270.DLL,M270RES.DLL\r\n"
                    "DataSection=PLAIN\r\n"
                    "[EMF.Install]\r\n"
                    "CopyFiles=@M270.GPD,M270.DLL\r\n"
                    "DataSection=EMF\r\n"
                    "[PLAIN]\r\n"
                    "DriverFile=UNIDRV.DLL\r\n"
                    "[EMF]\r\n"
                    "DefaultDataType=NT EMF 1.008\r\n";
/* 2026-11-20 08:30 UTC, the time stamp given to the model file. */
const FILETIME kModelFileTime = {0x4D6C6000u, 0x01DD5A0Au};

LPSTR Env()
{
    return SpoolerText(kEnvironmentX86);
}

int CountDrivers(const char *name)
{
    int count = 0;
    for (const DRIVER_INFO_1A &d : spoolenum::Drivers<DRIVER_INFO_1A>(kEnvironmentX86, 1))
        count += strcmp(d.pName, name) == 0;
    return count;
}

int CountPrinters(const char *name)
{
    int count = 0;
    for (const PRINTER_INFO_4A &p : spoolenum::LocalPrinters<PRINTER_INFO_4A>(4))
        count += strcmp(p.pPrinterName, name) == 0;
    return count;
}

/* Closes each system message box the thread under test shows while a call
 * runs (a thread timer runs in the box's modal loop; the pages, which the
 * steps drive, are not boxes), noting its caption, text, owner and icon.
 * Wine's and Windows' boxes keep the text in control 0xFFFF. */
class MessageBoxCloser
{
  public:
    MessageBoxCloser() : timer_(SetTimer(NULL, 0, 20, Tick))
    {
        Current() = this;
    }
    ~MessageBoxCloser()
    {
        Stop();
    }
    void Stop()
    {
        KillTimer(NULL, timer_);
        Current() = nullptr;
    }
    bool seen = false;
    std::string caption, text; /* the first box's caption; every box's text, joined by "|" */
    HWND owner = NULL;
    HICON icon = NULL;

  private:
    static MessageBoxCloser *&Current()
    {
        static MessageBoxCloser *closer = nullptr;
        return closer;
    }
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        MessageBoxCloser *self = Current();
        HWND box = self != nullptr ? uitest::FindThreadDialog(0xFFFF, true) : NULL;
        if (box == NULL)
            return;
        char buffer[PUT_BACK_NOTE_MAX];
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof(buffer));
        self->text += (self->seen ? "|" : "") + std::string(buffer);
        if (!self->seen)
        {
            self->caption = uitest::WindowText(box);
            self->owner = GetWindow(box, GW_OWNER);
            self->icon = uitest::ShownIcon(box);
        }
        self->seen = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    UINT_PTR timer_;
};

class RegistrationTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_spooler = &kWinSpooler;
        ReleaseKeptRecords(); /* an earlier case's removals */
        ZeroMemory(&g_state, sizeof(g_state));
        g_state.osIndex = 3;
        g_state.driverVersion = 3;
        g_state.environment = kEnvironmentX86;
        g_state.instance = GetModuleHandleA(NULL);
        folder_ = tempinf::Folder("registration_test");
        ASSERT_TRUE(tempinf::Write(folder_ + "M270.INF", kInf));
        ChooseModel(kModel, "FILE:");

        /* The copy dialog's work: every file of the list in the driver
         * directory, beside the system's universal driver files. */
        for (const char *name :
             {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "M270.GPD", "M270.DLL", "M270RES.DLL"})
        {
            std::string path = std::string(g_state.driverDirectory) + name;
            bool there = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            ASSERT_TRUE(there || tempinf::Write(path, std::string("stand-in ") + name));
        }
        /* The model file that dates the driver, beside the program; the
         * current folder holds another of its name, dated now, which must
         * not be the one read.  The reader is pointed back at the setup
         * information file. */
        char module[SETUP_TEXT_MAX];
        GetModuleFolder(module);
        modelFile_ = std::string(module) + "M270.DLL";
        ASSERT_TRUE(tempinf::Write(folder_ + "M270.DLL", "another folder's model file"));
        ASSERT_TRUE(tempinf::Write(modelFile_, "model file"));
        tempinf::Use(folder_ + "M270.INF");
        HANDLE model =
            CreateFileA(modelFile_.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, model);
        SetFileTime(model, NULL, NULL, &kModelFileTime);
        CloseHandle(model);
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    }

    void TearDown() override
    {
        DeleteFileA(modelFile_.c_str());
        g_spooler = &kWinSpooler;
        for (const char *name : {kModel, "Tarvik M270 EMF"})
        {
            HANDLE printer = NULL;
            PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
            if (OpenPrinterA(SpoolerText(name), &printer, &defaults))
            {
                DeletePrinter(printer);
                ClosePrinter(printer);
            }
            DeletePrinterDriverA(NULL, Env(), SpoolerText(name));
        }
    }

    static void ChooseModel(const char *model, const char *port)
    {
        lstrcpyA(g_state.modelName, model);
        lstrcpyA(g_state.portName, port);
        ASSERT_EQ(1, ReadModelData());
    }

    std::string folder_;
    std::string modelFile_;
};

/* Guards against an install phase (install, remove, install) that leaves
 * duplicates or nothing, and against wrong fields in the spooler's records. */
TEST_F(RegistrationTest, InstallRemoveInstallLeavesOneDriverAndOnePrinter)
{
    struct Case
    {
        const char *model, *port, *dataType;
        std::vector<std::string> dependents;
    } cases[] = {
        {kModel, "FILE:", "RAW", {"M270.GPD", "M270.DLL", "M270RES.DLL"}},
        {"Tarvik M270 EMF", "COM1:", "NT EMF 1.008", {"M270.GPD", "M270.DLL"}},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.model);
        ChooseModel(c.model, c.port);
        MessageBoxCloser closer;
        EXPECT_EQ(1, InstallDriverAndPrinter());
        EXPECT_EQ(1, RemovePrinterAndDriver(c.model));
        EXPECT_EQ(0, CountPrinters(c.model));
        EXPECT_EQ(0, CountDrivers(c.model));
        EXPECT_EQ(1, InstallDriverAndPrinter());
        closer.Stop();
        EXPECT_FALSE(closer.seen) << closer.text;
        EXPECT_EQ(1, CountDrivers(c.model));
        EXPECT_EQ(1, CountPrinters(c.model));

        HANDLE printer = NULL;
        ASSERT_TRUE(OpenPrinterA(SpoolerText(c.model), &printer, NULL));
        DWORD needed = 0;
        GetPrinterDriverA(printer, Env(), 3, NULL, 0, &needed);
        std::vector<BYTE> driverBuffer(needed + 1);
        ASSERT_TRUE(GetPrinterDriverA(printer, Env(), 3, driverBuffer.data(), needed, &needed));
        const DRIVER_INFO_3A *driver = (const DRIVER_INFO_3A *)driverBuffer.data();
        EXPECT_EQ(3u, driver->cVersion);
        EXPECT_STREQ(c.model, driver->pName);
        EXPECT_STREQ("Windows NT x86", driver->pEnvironment);
        /* Wine answers full paths in the version folder for the files. */
        EXPECT_STRCASEEQ("UNIDRV.DLL", PathFileName(driver->pDriverPath));
        EXPECT_STRCASEEQ("M270.GPD", PathFileName(driver->pDataFile));
        EXPECT_STRCASEEQ("UNIDRVUI.DLL", PathFileName(driver->pConfigFile));
        EXPECT_STRCASEEQ("UNIDRV.HLP", PathFileName(driver->pHelpFile));
        std::vector<std::string> dependents;
        for (const char *d = driver->pDependentFiles; d && *d; d += strlen(d) + 1)
            dependents.push_back(PathFileName(d));
        EXPECT_EQ(c.dependents, dependents);
        EXPECT_STREQ(c.dataType, driver->pDefaultDataType);

        needed = 0;
        GetPrinterDriverA(printer, Env(), 6, NULL, 0, &needed);
        std::vector<BYTE> sixBuffer(needed + 1);
        ASSERT_TRUE(GetPrinterDriverA(printer, Env(), 6, sixBuffer.data(), needed, &needed));
        EXPECT_STREQ(c.model, ((const DRIVER_INFO_6A *)sixBuffer.data())->pName);

        needed = 0;
        GetPrinterA(printer, 2, NULL, 0, &needed);
        std::vector<BYTE> printerBuffer(needed + 1);
        ASSERT_TRUE(GetPrinterA(printer, 2, printerBuffer.data(), needed, &needed));
        const PRINTER_INFO_2A *info = (const PRINTER_INFO_2A *)printerBuffer.data();
        EXPECT_STREQ(c.model, info->pPrinterName);
        EXPECT_STREQ(c.port, info->pPortName);
        EXPECT_STREQ(c.model, info->pDriverName);
        EXPECT_STREQ(c.dataType, info->pDatatype);
        EXPECT_STREQ("WinPrint", info->pPrintProcessor);
        EXPECT_EQ((DWORD)PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST,
                  info->Attributes & ~(DWORD)PRINTER_ATTRIBUTE_LOCAL);
        ClosePrinter(printer);
    }
}

/* Guards against a driver check that matches by prefix or ignores case. */
TEST_F(RegistrationTest, IsDriverInstalledMatchesExactlyAndCaseSensitively)
{
    EXPECT_EQ(0, IsDriverInstalled(kModel));
    ASSERT_EQ(1, InstallDriverAndPrinter());
    struct Case
    {
        const char *name;
        int installed;
    } cases[] = {
        {kModel, 1},        {"tarvik m270 test", 0},  {"TARVIK M270 TEST", 0},
        {"Tarvik M270", 0}, {"Tarvik M270 Test ", 0}, {"", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.installed, IsDriverInstalled(c.name)) << "[" << c.name << "]";
}

/* Guards against removing a driver when there is no printer to remove, and
 * against a removal without a printer being reported as a failure. */
TEST_F(RegistrationTest, RemovalWithoutPrinterLeavesTheDriver)
{
    ASSERT_EQ(1, InstallDriverAndPrinter());
    DeletePrinterByName(kModel);
    EXPECT_EQ(0, CountPrinters(kModel));
    EXPECT_EQ(1, IsDriverInstalled(kModel));
    EXPECT_EQ(1, RemovePrinterAndDriver(kModel));
    EXPECT_EQ(1, IsDriverInstalled(kModel));
    DeletePrinterByName("No Such Printer");
}

const std::vector<std::string> kPackageFiles = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP",
                                                "M270.GPD",   "M270.DLL",     "M270RES.DLL"};

rules::Printer PrinterOf(const char *name, const char *driver, int jobs)
{
    return {name, driver, "FILE:", jobs, false};
}

/* The stand-in with the model's driver registered and every package file in
 * the driver directory. */
void UseRulesSpooler(const std::vector<rules::Printer> &printers)
{
    rules::Reset();
    rules::World().files = kPackageFiles;
    rules::World().drivers = {kModel};
    rules::World().printers = printers;
    g_spooler = &rules::kRulesSpooler;
}

/* Guards against a refused deletion (a driver in use) reported as success:
 * the port page must then stop the wizard. */
TEST_F(RegistrationTest, RefusedDeletionAnswers0)
{
    struct Case
    {
        const char *call;
        DWORD error;
    };
    for (const Case &c : {Case{"DeletePrinter", ERROR_ACCESS_DENIED},
                          {"DeletePrinterDriver", ERROR_PRINTER_DRIVER_IN_USE}})
    {
        SCOPED_TRACE(c.call);
        UseRulesSpooler({});
        ASSERT_EQ(1, InstallDriverAndPrinter());
        rules::World().refuse[c.call] = c.error;
        EXPECT_EQ(0, RemovePrinterAndDriver(kModel));
    }
}

/* What the stand-in was given in the records' pointers and flags, which its
 * description does not tell apart (a text given as none, the attributes). */
struct Given
{
    DRIVER_INFO_6A driver;
    PRINTER_INFO_2A printer;
};

Given &WatchRecords()
{
    static Given given;
    ZeroMemory(&given, sizeof(given));
    rules::World().onCall = [](const std::string &call, const void *record)
    {
        if (call.compare(0, 17, "AddPrinterDriver ") == 0)
            given.driver = *(const DRIVER_INFO_6A *)record;
        else if (call.compare(0, 11, "AddPrinter ") == 0)
            given.printer = *(const PRINTER_INFO_2A *)record;
    };
    return given;
}

/* Guards against wrong or missing level-6 fields that Wine would not keep:
 * provider, hardware id, driver date, previous names, empty URL. */
TEST_F(RegistrationTest, DriverAndPrinterRecordsFieldByField)
{
    UseRulesSpooler({});
    const Given &given = WatchRecords();
    EXPECT_EQ(1, InstallDriverAndPrinter());
    EXPECT_EQ((std::vector<std::string>{
                  "EnumPrinterDrivers Windows NT x86, level 6", "AddPrinterDriver Tarvik M270 Test",
                  "AddPrinter Tarvik M270 Test", "ClosePrinter Tarvik M270 Test"}),
              rules::World().calls);
    EXPECT_EQ("driver Tarvik M270 Test Windows NT x86 v3 date 01dd5a0a4d6c6000 version 0 "
              "[UNIDRV.DLL|M270.GPD|UNIDRVUI.DLL|UNIDRV.HLP|"
              "4d3237302e475044004d3237302e444c4c004d3237305245532e444c4c00||RAW|"
              "54617276696b204d323730205465737400|||TARVIK_M270_TEST|Tarvik Systems]\n"
              "printer Tarvik M270 Test attributes 240 priority 0/0 time 0-0 jobs 0 "
              "[Tarvik M270 Test|FILE:|||||WinPrint|RAW|] devmode  security \n"
              "default \n",
              rules::Describe(rules::World()));
    EXPECT_EQ(nullptr, given.driver.pMonitorName);
    EXPECT_EQ(nullptr, given.driver.pszMfgName);
    EXPECT_NE(nullptr, given.driver.pszOEMUrl);
    const PRINTER_INFO_2A &p = given.printer;
    for (LPSTR text :
         {p.pServerName, p.pShareName, p.pComment, p.pLocation, p.pSepFile, p.pParameters})
        EXPECT_EQ(nullptr, text);
    EXPECT_EQ((DWORD)PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST, p.Attributes);
    EXPECT_EQ(0u, p.Status + p.cJobs + p.AveragePPM);
}

/* Guards against an invented hardware id for a one-token model value and a
 * stale driver date when the model file is missing. */
TEST_F(RegistrationTest, NoHardwareIdAndNoModelFile)
{
    ChooseModel("Tarvik M270 EMF", "FILE:");
    ASSERT_TRUE(DeleteFileA(modelFile_.c_str()));
    UseRulesSpooler({});
    const Given &given = WatchRecords();
    EXPECT_EQ(1, InstallDriverAndPrinter());
    EXPECT_EQ(nullptr, given.driver.pszHardwareID);
    const std::string described = rules::Describe(rules::World());
    EXPECT_NE(std::string::npos,
              described.find("Tarvik M270 EMF Windows NT x86 v3 date 0000000000000000 version 0"))
        << described;
    EXPECT_NE(std::string::npos, described.find("||NT EMF 1.008|")) << described;
    EXPECT_NE(std::string::npos, described.find("|WinPrint|NT EMF 1.008|]")) << described;
}

/* Guards against a refused driver that goes unreported, is reported with a
 * wrong code, or is followed by a printer; and against it counting as
 * success. */
TEST_F(RegistrationTest, RefusedDriverIsReportedAndAnswers0)
{
    struct Case
    {
        DWORD error;
        const char *text;
    } cases[] = {
        {ERROR_UNKNOWN_PRINTER_DRIVER,
         "Cannot add a printer driver!\r\n(System Error Code : 1797)"},
        {ERROR_ACCESS_DENIED, "Cannot add a printer driver!\r\n(System Error Code : 5)"},
    };
    for (const Case &c : cases)
    {
        UseRulesSpooler({});
        rules::World().refuse["AddPrinterDriver"] = c.error;
        MessageBoxCloser closer;
        EXPECT_EQ(0, InstallDriverAndPrinter());
        closer.Stop();
        ASSERT_TRUE(closer.seen);
        EXPECT_EQ("Add a printer error ", closer.caption);
        EXPECT_EQ(c.text, closer.text);
        EXPECT_EQ(NULL, closer.owner);
        EXPECT_EQ(LoadIconA(NULL, IDI_HAND), closer.icon);
        EXPECT_EQ(0, rules::CountCalls("AddPrinter "));
    }
}

/* Guards against success reported when the driver went in but the printer
 * did not (Wine's AddPrinterA refuses a driver it does not know). */
TEST_F(RegistrationTest, RefusedPrinterAnswers0Silently)
{
    UseRulesSpooler({});
    rules::World().refuse["AddPrinter"] = ERROR_UNKNOWN_PRINTER_DRIVER;
    MessageBoxCloser closer;
    EXPECT_EQ(0, InstallDriverAndPrinter());
    closer.Stop();
    EXPECT_FALSE(closer.seen) << closer.text;
    EXPECT_EQ(1, rules::CountCalls("AddPrinter "));
    EXPECT_EQ(std::vector<std::string>(), rules::PrinterNames());
}

/* --- under the rules of Windows' spooler --------------------------------- */

HANDLE OpenRules(const char *name, const PRINTER_DEFAULTSA *defaults)
{
    HANDLE printer = NULL;
    g_spooler->openPrinter(SpoolerText(name), &printer, const_cast<PRINTER_DEFAULTSA *>(defaults));
    return printer;
}

const PRINTER_DEFAULTSA kUseAccess = {NULL, NULL, PRINTER_ACCESS_USE};
const PRINTER_DEFAULTSA kAllAccess = {NULL, NULL, PRINTER_ALL_ACCESS};

BOOL DeleteRules(const char *name, const PRINTER_DEFAULTSA *defaults = &kAllAccess)
{
    HANDLE printer = OpenRules(name, defaults);
    BOOL deleted = g_spooler->deletePrinter(printer);
    g_spooler->closePrinter(printer);
    return deleted;
}

BOOL AddRulesPrinter(const char *port)
{
    PRINTER_INFO_2A info;
    ZeroMemory(&info, sizeof(info));
    info.pPrinterName = SpoolerText(kModel);
    info.pDriverName = SpoolerText(kModel);
    info.pPortName = SpoolerText(port);
    info.pPrintProcessor = SpoolerText("WinPrint");
    HANDLE added = g_spooler->addPrinter(NULL, 2, (LPBYTE)&info);
    if (added)
        g_spooler->closePrinter(added);
    return added != NULL;
}

/* Guards against a stand-in that lets through what Windows refuses, which
 * would let the tests below pass where a real system fails. */
TEST_F(RegistrationTest, StandInKeepsWindowsRules)
{
    struct Case
    {
        const char *name;
        int jobs;
        bool deletedFirst; /* the printer deleted with all access before the call */
        std::function<BOOL()> call;
        BOOL result;
        DWORD error;
        std::vector<std::string> printers, drivers; /* afterwards */
    };
    const std::vector<std::string> model = {kModel}, none;
    const auto deleteDriver = []
    { return g_spooler->deletePrinterDriver(NULL, Env(), SpoolerText(kModel)); };
    const Case cases[] = {
        {"delete, opened with no defaults", 0, false, [] { return DeleteRules(kModel, NULL); },
         FALSE, ERROR_ACCESS_DENIED, model, model},
        {"delete, opened for use", 0, false, [] { return DeleteRules(kModel, &kUseAccess); }, FALSE,
         ERROR_ACCESS_DENIED, model, model},
        {"delete, opened with all access", 0, false, [] { return DeleteRules(kModel); }, TRUE,
         0xdeadbeef, none, model},
        {"all access without administrator rights", 0, false,
         []
         {
             rules::World().administrator = false;
             return (BOOL)(OpenRules(kModel, &kAllAccess) != NULL);
         },
         FALSE, ERROR_ACCESS_DENIED, model, model},
        {"open an unknown printer", 0, false,
         [] { return (BOOL)(OpenRules("Other", NULL) != NULL); }, FALSE, ERROR_INVALID_PRINTER_NAME,
         model, model},
        {"open a printer pending deletion", 1, true,
         [] { return (BOOL)(OpenRules(kModel, &kAllAccess) != NULL); }, FALSE,
         ERROR_INVALID_PRINTER_NAME, none, model},
        {"delete the driver of a printer", 0, false, deleteDriver, FALSE,
         ERROR_PRINTER_DRIVER_IN_USE, model, model},
        {"delete the driver of a printer pending on its jobs", 1, true, deleteDriver, FALSE,
         ERROR_PRINTER_DRIVER_IN_USE, none, model},
        {"delete the driver once its printer is gone", 0, true, deleteDriver, TRUE, 0xdeadbeef,
         none, none},
        {"add a printer whose name a pending one holds: revived", 1, true,
         [] { return AddRulesPrinter("FILE:"); }, TRUE, 0xdeadbeef, model, model},
        {"add a printer whose name another holds", 0, false,
         [] { return AddRulesPrinter("FILE:"); }, FALSE, ERROR_PRINTER_ALREADY_EXISTS, model,
         model},
        {"add a printer on an unknown port", 0, true, [] { return AddRulesPrinter("LPT9:"); },
         FALSE, ERROR_UNKNOWN_PORT, none, model},
        {"spooler stopped", 0, false,
         []
         {
             rules::World().running = false;
             return (BOOL)(OpenRules(kModel, NULL) != NULL);
         },
         FALSE, RPC_S_SERVER_UNAVAILABLE, model, model},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        UseRulesSpooler({PrinterOf(kModel, kModel, c.jobs)});
        SetLastError(0xdeadbeef);
        if (c.deletedFirst)
            DeleteRules(kModel);
        EXPECT_EQ(c.result, c.call());
        EXPECT_EQ(c.error, GetLastError());
        EXPECT_EQ(c.printers, rules::PrinterNames());
        EXPECT_EQ(c.drivers, rules::World().drivers);
    }
}

/* Guards against a printer that could not be opened for deletion (access
 * denied, spooler stopped) counted as "nothing to remove", and against a
 * driver still in use (by a printer pending on its jobs, or by another
 * printer) reported as removed. */
TEST_F(RegistrationTest, RemovalAnswersUnderWindowsRules)
{
    struct Case
    {
        const char *name;
        bool administrator, running;
        std::vector<rules::Printer> printers;
        int answer;
        std::vector<std::string> printersAfter, driversAfter;
    };
    const std::vector<std::string> model = {kModel}, none;
    const Case cases[] = {
        {"no printer of that name", true, true, {}, 1, none, model},
        {"idle printer", true, true, {PrinterOf(kModel, kModel, 0)}, 1, none, none},
        {"printer with jobs", true, true, {PrinterOf(kModel, kModel, 2)}, 0, none, model},
        {"driver also used by another printer",
         true,
         true,
         {PrinterOf(kModel, kModel, 0), PrinterOf("Other", kModel, 0)},
         0,
         {"Other"},
         model},
        {"not an administrator", false, true, {PrinterOf(kModel, kModel, 0)}, 0, model, model},
        {"spooler stopped", true, false, {PrinterOf(kModel, kModel, 0)}, 0, model, model},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        UseRulesSpooler(c.printers);
        rules::World().administrator = c.administrator;
        rules::World().running = c.running;
        EXPECT_EQ(c.answer, RemovePrinterAndDriver(kModel));
        EXPECT_EQ(c.printersAfter, rules::PrinterNames());
        EXPECT_EQ(c.driversAfter, rules::World().drivers);
    }
}

/* Guards against a driver whose files are not all in the driver directory
 * counted as registered, reported with another code than the spooler's, or
 * followed by a printer. */
TEST_F(RegistrationTest, MissingDriverFileIsRefusedAndReported)
{
    const char *missing[] = {"UNIDRV.DLL", /* driver path */
                             "M270.GPD",   /* data file, also a dependent */
                             "UNIDRVUI.DLL" /* config file */,
                             "UNIDRV.HLP",  /* help file */
                             "M270RES.DLL", /* a dependent file */
                             NULL};
    for (const char *file : missing)
    {
        SCOPED_TRACE(file ? file : "none missing");
        UseRulesSpooler({});
        rules::World().drivers.clear();
        for (size_t i = 0; file && i < kPackageFiles.size(); ++i)
            if (kPackageFiles[i] == file)
                rules::World().files.erase(rules::World().files.begin() + i);
        MessageBoxCloser closer;
        EXPECT_EQ(file ? 0 : 1, InstallDriverAndPrinter());
        closer.Stop();
        EXPECT_EQ(file != NULL, closer.seen);
        EXPECT_EQ(file ? "Cannot add a printer driver!\r\n(System Error Code : 2)" : "",
                  closer.text);
        EXPECT_EQ(file ? 0 : 1, rules::CountCalls("AddPrinter "));
        EXPECT_EQ(file ? std::vector<std::string>{} : std::vector<std::string>{kModel},
                  rules::PrinterNames());
    }
}

/* --- what a run that does not install a printer leaves ----------------- */

const char kOtherModel[] = "Tarvik M270 EMF";

/* A device mode with driver bytes after it, and a self-relative security
 * descriptor, as a user's printer has them. */
std::string DevModeBytes()
{
    std::string bytes(sizeof(DEVMODEA) + 8, '\0');
    DEVMODEA *mode = (DEVMODEA *)&bytes[0];
    lstrcpynA((char *)mode->dmDeviceName, kModel, CCHDEVICENAME);
    mode->dmSize = sizeof(DEVMODEA);
    mode->dmDriverExtra = 8;
    mode->dmFields = DM_ORIENTATION | DM_COPIES;
    mode->dmOrientation = DMORIENT_LANDSCAPE;
    mode->dmCopies = 3;
    memcpy(&bytes[sizeof(DEVMODEA)], "tray=LC", 8);
    return bytes;
}

std::string SecurityBytes()
{
    SECURITY_DESCRIPTOR absolute;
    InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&absolute, TRUE, NULL, FALSE);
    DWORD size = 0;
    MakeSelfRelativeSD(&absolute, NULL, &size);
    std::string bytes(size, '\0');
    EXPECT_TRUE(MakeSelfRelativeSD(&absolute, (PSECURITY_DESCRIPTOR)&bytes[0], &size));
    return bytes;
}

/* The user's spooler before the run: the printer of the model's name, with
 * everything a user sets, on its driver of an earlier version; a printer of
 * the other model; a printer the run never touches; the model's printer as
 * the default. */
void UseUsersSpooler(int jobs)
{
    rules::Reset();
    rules::SpoolerWorld &w = rules::World();
    w.files = kPackageFiles;
    w.files.insert(w.files.end(), {"OLD.GPD", "OLD.DLL"});
    w.drivers = {kModel, kOtherModel, "Kept Driver"};
    rules::Driver old;
    old.dependents = std::string("OLD.GPD\0OLD.DLL\0", 16);
    old.helpFile = "UNIDRV.HLP";
    old.provider = "Tarvik Systems";
    old.hardwareId = "TARVIK_M270_OLD";
    old.previousNames = std::string("Tarvik M270\0", 12);
    old.date = {0x11112222u, 0x01D00000u};
    old.driverVersion = 0x0001000200030004ull;
    w.driverFields[kModel] = old;
    rules::Printer users = {kModel, kModel, "LPT1:", jobs, false};
    users.share = "frontdesk";
    users.comment = "Front desk";
    users.location = "Room 3";
    users.attributes |= PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    users.priority = 5;
    users.startTime = 60;
    users.untilTime = 1200;
    users.devMode = DevModeBytes();
    users.security = SecurityBytes();
    users.data["PrinterDriverData"] = {{"Duplex", REG_DWORD, std::string("\1\0\0\0", 4)}};
    users.data["PrinterDriverData\\Trays"] = {{"Tray1", REG_SZ, std::string("Letter\0", 7)}};
    w.printers = {users,
                  {kOtherModel, kOtherModel, "FILE:", 0, false},
                  {"Kept Printer", "Kept Driver", "FILE:", 0, false}};
    w.defaultPrinter = kModel;
    g_spooler = &rules::kRulesSpooler;
}

void UseUpperCaseDriver(rules::SpoolerWorld &w)
{
    w.drivers[0] = "TARVIK M270 TEST";
    w.driverFields["TARVIK M270 TEST"] = w.driverFields[kModel];
    w.driverFields.erase(kModel);
    w.printers[0].driver = "TARVIK M270 TEST";
}

/* The list page run by `run` with `item` selected, left with Next; the
 * page's end. */
INT_PTR Choose(INT_PTR (*run)(HWND), int listId, const char *item)
{
    std::string name = item;
    return uitest::DriveModal([run] { return run(NULL); },
                              {{listId,
                                [listId, name](HWND d)
                                {
                                    LRESULT i =
                                        SendDlgItemMessageA(d, listId, LB_FINDSTRINGEXACT,
                                                            (WPARAM)-1, (LPARAM)name.c_str());
                                    SendDlgItemMessageA(d, listId, LB_SETCURSEL, (WPARAM)i, 0);
                                },
                                uitest::ACT_CLICK, IDC_NEXT}});
}

INT_PTR ModelPage(const char *model)
{
    return Choose(RunModelPage, IDC_MODEL_LIST, model);
}

INT_PTR PortPage(const char *port)
{
    return Choose(RunPortPage, IDC_PORT_LIST, port);
}

/* The sequencer's install phase, to the final page, which is left with
 * Escape; the outcome it showed. */
WORD InstallPhase()
{
    uitest::DriveModal([] { return uitest::RunSequencer(CMD_INSTALL); },
                       {{IDC_SET_DEFAULT, nullptr, uitest::ACT_KEY, VK_ESCAPE}});
    return (WORD)g_state.messageType;
}

/* The model page left on the model, then (given a port) the port page on
 * it and, when `install`, the install phase; the outcome shown, or failed
 * for a run that stops before the install. */
WORD Walk(const char *port = nullptr, bool install = false)
{
    EXPECT_EQ(IDC_NEXT, ModelPage(kModel));
    EXPECT_EQ(IDC_NEXT, port ? PortPage(port) : IDC_NEXT);
    return install ? InstallPhase() : (WORD)OUTCOME_FAILED;
}

/* Guards against a run that ends on the failure page, or installs another
 * model, costing the user a printer or a driver it deleted on the way (its
 * port, share, comment, location, device mode, security, printer data, its
 * driver's files and fields, its place as the default printer), and
 * against a printer the install replaced being put back over the new one. */
TEST_F(RegistrationTest, RunThatDoesNotInstallItLeavesTheUsersPrinters)
{
    struct Case
    {
        const char *name;
        int jobs;
        std::function<WORD()> walk; /* the run, to its outcome */
        WORD outcome;
        /* what may differ afterwards: the new printer and driver of this
         * name, and the expected change to the user's records */
        const char *replaced;
        std::function<void(rules::SpoolerWorld &)> change;
        const char *told; /* the message boxes' texts, joined by "|" */
    };
    const auto same = [](rules::SpoolerWorld &) {};
    /* The user's printer without its printer, the driver left, as Windows
     * leaves it when a printer is removed; another default printer. */
    const auto driverAlone = [](rules::SpoolerWorld &w)
    {
        w.printers.erase(w.printers.begin());
        w.defaultPrinter = kOtherModel;
    };
    const auto withDsKeys = [](rules::SpoolerWorld &w)
    {
        w.printers[0].data["DsSpooler"] = {{"printerName", REG_SZ, std::string("stale\0", 6)}};
        w.printers[0].data["dsdriver"] = {{"printColor", REG_BINARY, std::string("\1", 1)}};
        w.printers[0].data["DsUser"] = {{"assetNumber", REG_SZ, std::string("A-17\0", 5)}};
    };
    const Case cases[] = {
        {"cancel at the port page after the model page's deletion; the share no longer to be "
         "had",
         0,
         []
         {
             EXPECT_EQ(IDC_NEXT, ModelPage(kModel));
             rules::World().sharing = false;
             return (WORD)OUTCOME_FAILED;
         },
         OUTCOME_FAILED, "",
         [](rules::SpoolerWorld &w)
         {
             w.sharing = false;
             w.printers[0].attributes &= ~(DWORD)PRINTER_ATTRIBUTE_SHARED;
         },
         ""},
        {"cancel in the copy dialog", 0, [] { return Walk("FILE:"); }, OUTCOME_FAILED, "", same,
         ""},
        {"a copy that gives up after the port page removed the printer and its driver", 0,
         []
         {
             /* The driver's name in other letters: the model page's check
              * misses it, the spooler's deletion does not. */
             UseUpperCaseDriver(rules::World());
             WORD outcome = Walk("FILE:");
             EXPECT_EQ(2u, rules::World().drivers.size());
             return outcome;
         },
         OUTCOME_FAILED, "", UseUpperCaseDriver, ""},
        {"the port page's half-failed removal: the printer runs on another driver", 0,
         []
         {
             rules::World().printers[0].driver = "Kept Driver";
             rules::World().drivers.erase(rules::World().drivers.begin());
             EXPECT_EQ(IDC_NEXT, ModelPage(kModel));
             EXPECT_EQ(IDCANCEL, PortPage("FILE:"));
             return (WORD)OUTCOME_FAILED;
         },
         OUTCOME_FAILED, "",
         [](rules::SpoolerWorld &w)
         {
             w.printers[0].driver = "Kept Driver";
             w.drivers.erase(w.drivers.begin());
         },
         g_profile.inUseMessage},
        {"a refused driver install", 0,
         []
         {
             EXPECT_EQ(IDC_NEXT, ModelPage(kModel));
             EXPECT_EQ(IDC_NEXT, PortPage("FILE:"));
             rules::World().files.erase(rules::World().files.begin() + 5); /* M270RES.DLL */
             return InstallPhase();
         },
         OUTCOME_FAILED, "", [](rules::SpoolerWorld &w) { w.files.erase(w.files.begin() + 5); },
         "Cannot add a printer driver!\r\n(System Error Code : 2)"},
        {"another model picked and left, then the other installed", 0,
         []
         {
             EXPECT_EQ(IDC_NEXT, ModelPage(kOtherModel));
             return Walk("COM1:", true);
         },
         OUTCOME_COMPLETED, kModel, same, ""},
        {"the printer of the model's name replaced by the install", 0,
         [] { return Walk("COM1:", true); }, OUTCOME_COMPLETED, kModel, same, ""},
        {"a printer with queued jobs: pending deletion, then revived", 2,
         []
         {
             EXPECT_EQ(IDC_NEXT, ModelPage(kModel));
             EXPECT_EQ((std::vector<std::string>{kOtherModel, "Kept Printer"}),
                       rules::PrinterNames());
             EXPECT_EQ(IDC_NEXT, PortPage("FILE:"));
             return (WORD)OUTCOME_FAILED;
         },
         OUTCOME_FAILED, "", same, ""},
        {"a printer the spooler refuses to put back (its port gone), told to the user once", 0,
         []
         {
             WORD outcome = Walk();
             rules::World().ports = {"COM1:", "FILE:"};
             return outcome;
         },
         OUTCOME_FAILED, "",
         [](rules::SpoolerWorld &w)
         {
             w.ports = {"COM1:", "FILE:"};
             w.printers.erase(w.printers.begin());
             w.defaultPrinter = kOtherModel;
         },
         "Cannot put back what the setup removed!\r\n"
         "Printer \"Tarvik M270 Test\" (System Error Code : 1796)\r\n"
         "Default printer \"Tarvik M270 Test\" (System Error Code : 1801)"},
        {"a driver of the model's name without a printer, then a failed install", 0,
         [driverAlone]
         {
             driverAlone(rules::World());
             EXPECT_EQ(IDC_NEXT, ModelPage(kModel));
             /* A port the spooler lists on the page and has lost by the install. */
             rules::World().ports.push_back("LPT9:");
             EXPECT_EQ(IDC_NEXT, PortPage("LPT9:"));
             rules::World().ports.pop_back();
             return InstallPhase();
         },
         OUTCOME_FAILED, "", driverAlone, ""},
        {"the spooler's and the driver's own printer data not written back, the user's is", 0,
         [withDsKeys]
         {
             withDsKeys(rules::World());
             return Walk();
         },
         OUTCOME_FAILED, "",
         [](rules::SpoolerWorld &w) {
             w.printers[0].data["DsUser"] = {{"assetNumber", REG_SZ, std::string("A-17\0", 5)}};
         },
         ""},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        ChooseModel(kModel, "FILE:");
        UseUsersSpooler(c.jobs);
        rules::SpoolerWorld expected = rules::World();
        c.change(expected);
        g_state.runFinished = 0;
        MessageBoxCloser closer;
        WORD outcome = c.walk();
        FinishRun(outcome);
        closer.Stop();
        EXPECT_EQ(c.outcome, outcome);
        EXPECT_EQ(c.told, closer.text);
        EXPECT_EQ(rules::Describe(expected, c.replaced),
                  rules::Describe(rules::World(), c.replaced));
        EXPECT_EQ(nullptr, g_state.keptRecords) << "the records outlive the run";
        if (c.replaced[0] != '\0')
        {
            /* Exactly the new driver and printer, on the port chosen. */
            std::string described = rules::Describe(rules::World());
            EXPECT_NE(std::string::npos,
                      described.find("printer Tarvik M270 Test attributes 240 priority 0/0 time "
                                     "0-0 jobs 0 [Tarvik M270 Test|COM1:|||||WinPrint|RAW|] "
                                     "devmode  security \n"))
                << described;
            EXPECT_NE(std::string::npos, described.find("|Tarvik Systems]\n"));
            EXPECT_EQ(1, (int)std::count(rules::World().drivers.begin(),
                                         rules::World().drivers.end(), kModel));
        }
    }
}
} // namespace
