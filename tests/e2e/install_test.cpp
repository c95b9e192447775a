/*
 * Whole runs of each deliverable: a model and a port chosen, the install,
 * and what the spooler, the driver directory and the default printer hold
 * afterwards; an earlier printer and driver of the model's name replaced;
 * the default printer left alone when the box is unticked; and the port
 * list as the spooler's ports make it (ports arranged in the prefix's
 * registry, where the spooler reads them).
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win32/support/spooler_enum.h"
#include "wizard_fixture.h"

using namespace e2e;

namespace
{

const char kPortsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

struct DriverSeen
{
    std::string dataFile;
    std::vector<std::string> dependentFiles; /* bare names */
    std::string dataType;
};

std::string Str(const char *text)
{
    return text ? text : "";
}

std::string BareName(const char *path)
{
    std::string p = Str(path);
    return p.substr(p.find_last_of('\\') + 1);
}

/* The drivers of that name the spooler lists for Windows NT x86. */
std::vector<DriverSeen> DriversNamed(const std::string &name)
{
    std::vector<DriverSeen> found;
    for (const DRIVER_INFO_3A &d : spoolenum::Drivers<DRIVER_INFO_3A>("Windows NT x86", 3))
    {
        if (name != Str(d.pName))
            continue;
        DriverSeen seen;
        seen.dataFile = BareName(d.pDataFile);
        for (const char *f = d.pDependentFiles; f && *f; f += strlen(f) + 1)
            seen.dependentFiles.push_back(BareName(f));
        seen.dataType = Str(d.pDefaultDataType);
        found.push_back(seen);
    }
    return found;
}

struct PrinterSeen
{
    std::string driver, port, dataType, processor, comment;
};

std::vector<PrinterSeen> PrintersNamed(const std::string &name)
{
    std::vector<PrinterSeen> found;
    for (const PRINTER_INFO_2A &p : spoolenum::LocalPrinters<PRINTER_INFO_2A>(2))
        if (name == Str(p.pPrinterName))
            found.push_back({Str(p.pDriverName), Str(p.pPortName), Str(p.pDatatype),
                             Str(p.pPrintProcessor), Str(p.pComment)});
    return found;
}

/* Replaces the spooler's port list (the Ports values of the registry) for
 * one test and puts the old one back afterwards. */
class PortList
{
  public:
    typedef std::vector<std::pair<std::string, std::string>> Values; /* name, data */
    explicit PortList(const std::vector<std::string> &ports)
    {
        Values values;
        for (const std::string &port : ports)
            values.push_back({port, std::string(1, '\0')});
        ok_ = Replace(values, &saved_);
    }
    ~PortList()
    {
        Values now;
        if (ok_)
            Replace(saved_, &now);
    }
    bool Ok() const
    {
        return ok_;
    }

  private:
    /* Makes `values` the key's values, the ones it had into *were. */
    static bool Replace(const Values &values, Values *were)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &key) != 0)
            return false;
        char name[256];
        BYTE data[1024];
        for (DWORD i = 0;; i++)
        {
            DWORD nameLen = sizeof(name), dataLen = sizeof(data), type = 0;
            if (RegEnumValueA(key, i, name, &nameLen, NULL, &type, data, &dataLen) != 0)
                break;
            were->push_back({name, std::string((char *)data, dataLen)});
        }
        for (const auto &v : *were)
            RegDeleteValueA(key, v.first.c_str());
        for (const auto &v : values)
            RegSetValueExA(key, v.first.c_str(), 0, REG_SZ, (const BYTE *)v.second.data(),
                           (DWORD)v.second.size());
        RegCloseKey(key);
        return true;
    }
    Values saved_;
    bool ok_ = false;
};

class Install : public Wizard
{
  protected:
    std::vector<std::string> Models() const
    {
        std::string m = "Tarvik " + d.model;
        return {m, m + " Network", m + " Lite"};
    }
    std::string Selected(HWND page, int listId)
    {
        HWND list = GetDlgItem(page, listId);
        DWORD_PTR index = 0;
        SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &index);
        std::vector<std::string> items = ListItems(page, listId);
        return (int)index >= 0 && (size_t)index < items.size() ? items[index] : "(none)";
    }

    /* Picks a list item by its text, as a click on it does. */
    void Pick(HWND page, int listId, const std::string &text)
    {
        std::vector<std::string> items = ListItems(page, listId);
        auto it = std::find(items.begin(), items.end(), text);
        ASSERT_NE(it, items.end()) << text << " is not listed";
        ASSERT_TRUE(SelectListItem(page, listId, (int)(it - items.begin())));
    }

    /* From the welcome page to the port page, taking the model given. */
    HWND ToPortPage(const std::string &model)
    {
        HWND page = StartToWelcome();
        if (page == NULL)
            return NULL;
        page = Press(page, IDC_NEXT, kModelMark);
        if (page == NULL)
            return NULL;
        Pick(page, kModelMark, model);
        return Press(page, IDC_NEXT, kPortMark);
    }

    /* From the port page through the install to the final page. */
    HWND InstallOn(HWND portPage, const std::string &port)
    {
        Pick(portPage, kPortMark, port);
        if (!Click(portPage, IDC_NEXT) || !WaitGone(portPage, 5000))
            return NULL;
        return WaitFor(kFinalMark, 30000);
    }

    /* The spooler's driver and printer of the model after a whole run: one
     * of each, the printer on the port, with the model's data. */
    void ExpectRegistered(const std::string &model, const std::string &port, bool network)
    {
        std::vector<DriverSeen> drivers = DriversNamed(model);
        ASSERT_EQ(1u, drivers.size()) << "drivers named " << model;
        EXPECT_EQ(d.model + ".GPD", drivers[0].dataFile);
        std::vector<std::string> files = {d.model + ".GPD", d.model + ".DLL", d.model + "RES.DLL",
                                          d.model + (network ? "N.INI" : ".INI")};
        EXPECT_EQ(files, drivers[0].dependentFiles);
        const char *dataType = network ? "NT EMF 1.008" : "RAW";
        EXPECT_EQ(dataType, drivers[0].dataType);
        std::vector<PrinterSeen> printers = PrintersNamed(model);
        ASSERT_EQ(1u, printers.size()) << "printers named " << model;
        EXPECT_EQ(model, printers[0].driver);
        EXPECT_EQ(port, printers[0].port);
        EXPECT_EQ(dataType, printers[0].dataType);
        EXPECT_EQ("WinPrint", printers[0].processor);
        ExpectModelFilesCopied(files);
    }

    /* Every file of the model's list in the driver directory and its "3"
     * subfolder, expanded: as the sample package's file for those stored
     * compressed, as the package holds it for the others. */
    void ExpectModelFilesCopied(const std::vector<std::string> &files)
    {
        char dir[MAX_PATH] = "";
        DWORD needed = 0;
        ASSERT_TRUE(GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)dir, sizeof(dir), &needed));
        std::string samples = Env("SETUP_SOURCE_DIR") + "\\samples\\" + d.model + "\\";
        for (const std::string &name : files)
        {
            SCOPED_TRACE(name);
            std::string packaged = d.folder + "\\" + name;
            std::string expected = ReadWholeFile(packaged);
            if (expected == "(missing)")
                expected = ReadWholeFile(samples + name); /* stored compressed */
            ASSERT_NE("(missing)", expected);
            EXPECT_EQ(expected, ReadWholeFile(std::string(dir) + "\\" + name));
            EXPECT_EQ(expected, ReadWholeFile(std::string(dir) + "\\3\\" + name));
        }
    }

    void ExpectCompletedFinalPage(HWND final)
    {
        EXPECT_EQ(Text(pagetext::kFinalCaption), TextUtf8(final));
        EXPECT_EQ(Text(pagetext::kInstallDone), ControlText(final, IDC_OUTCOME_TEXT));
        EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(final, IDC_MESSAGE_ICON), 32516));
        EXPECT_TRUE(ControlVisible(final, IDC_SET_DEFAULT));
        EXPECT_EQ(Text(pagetext::kSetDefault), ControlText(final, IDC_SET_DEFAULT));
        EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(final, IDC_SET_DEFAULT), BM_GETCHECK, 0, 0));
        EXPECT_EQ(Text(pagetext::kOk), ControlText(final, IDOK));
        EXPECT_NE(std::string::npos, ControlText(final, IDC_COPYRIGHT).find("Copyright"));
        EXPECT_EQ(GetDlgItem(final, IDOK), FocusedControl(final));
        EXPECT_FALSE(ControlVisible(final, IDC_PICTURE_BUTTON));
    }
};

} // namespace

// A whole run with the exact texts of every page: the model and the port
// the user picks are registered (driver, printer), and the ticked box
// makes the new printer the default printer "Model,Model,PORT".
TEST_F(Install, ChosenModelAndPortAreInstalledAndMadeDefault)
{
    HWND page = StartToWelcome();
    ASSERT_NE(page, nullptr) << "no welcome page";
    EXPECT_EQ(Text(pagetext::kWizardCaption), TextUtf8(page));
    EXPECT_EQ(WelcomeText(), ControlText(page, kWelcomeMark));
    std::vector<std::string> statics = StaticTexts(page);
    EXPECT_NE(statics.end(),
              std::find(statics.begin(), statics.end(), Text(pagetext::kWelcomeSentence)));
    EXPECT_EQ(Text(pagetext::kNext), ControlText(page, IDC_NEXT));
    EXPECT_EQ(Text(pagetext::kCancel), ControlText(page, IDCANCEL));

    page = Press(page, IDC_NEXT, kModelMark);
    ASSERT_NE(page, nullptr) << "no model page";
    EXPECT_EQ(Text(pagetext::kWizardCaption), TextUtf8(page));
    EXPECT_EQ(Text(pagetext::kModelInstruction), ControlText(page, IDC_INSTRUCTION));
    EXPECT_EQ(Text(pagetext::kModelLabel), ControlText(page, IDC_MODEL_LABEL));
    EXPECT_EQ(Text(pagetext::kBack), ControlText(page, IDC_BACK));
    EXPECT_EQ(Text(pagetext::kNext), ControlText(page, IDC_NEXT));
    EXPECT_EQ(Text(pagetext::kCancel), ControlText(page, IDCANCEL));
    EXPECT_EQ(Models(), ListItems(page, kModelMark));
    EXPECT_EQ(Models()[0], Selected(page, kModelMark));
    EXPECT_EQ(GetDlgItem(page, kModelMark), FocusedControl(page));
    const std::string model = Models()[1];
    Pick(page, kModelMark, model);

    page = Press(page, IDC_NEXT, kPortMark);
    ASSERT_NE(page, nullptr) << "no port page";
    EXPECT_EQ(Text(pagetext::kWizardCaption), TextUtf8(page));
    EXPECT_EQ(Text(pagetext::kPortInstruction), ControlText(page, IDC_INSTRUCTION));
    EXPECT_EQ(Text(pagetext::kPortLabel), ControlText(page, IDC_PORT_LABEL));
    EXPECT_EQ(Text(pagetext::kBack), ControlText(page, IDC_BACK));
    EXPECT_EQ((std::vector<std::string>{
                  "COM1:", "COM2:", "COM3:", "COM4:", "FILE:", "LPT1:", "LPT2:", "LPT3:"}),
              ListItems(page, kPortMark));
    EXPECT_EQ("COM1:", Selected(page, kPortMark)) << "LPT and COM1: listed: COM1: comes first";
    EXPECT_EQ(GetDlgItem(page, kPortMark), FocusedControl(page));

    Pick(page, kPortMark, "LPT1:");
    ASSERT_TRUE(Click(page, IDC_NEXT));
    HWND status = WaitForWindow(
        p.Id(), 20000,
        [](HWND h) { return IsWindowVisible(h) && GetDlgItem(h, IDC_STATUS_TEXT) != NULL; });
    ASSERT_NE(status, nullptr) << "no status window during the install";
    EXPECT_EQ(Text(pagetext::kStatusWriting), ControlText(status, IDC_STATUS_TEXT));

    HWND final = WaitFor(kFinalMark, 30000);
    ASSERT_NE(final, nullptr) << "no final page";
    ExpectCompletedFinalPage(final);
    ASSERT_TRUE(Click(final, IDOK));
    ExpectExit();
    ExpectRegistered(model, "LPT1:", true);
    EXPECT_EQ(model + "," + model + ",LPT1:", DefaultPrinterEntry());
}

// A second start while the run is on a page, of the same program on the
// welcome page and of another build's on the port page, must end within a
// few seconds with exit code 0 and no window of its own, leave the page in
// front, and let the run complete as chosen.
TEST_F(Install, SecondStartsEndAtOnceAndTheRunCompletes)
{
    const std::string other =
        Env("SETUP_BIN_DIR") +
        (d.model == "M470" ? "\\M270Setup_en_win7.exe" : "\\M470Setup_ko_win7.exe");
    /* A window of the test's own in front, so that the page must be
     * brought forward. */
    HWND elsewhere = CreateWindowW(L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                   NULL, NULL, NULL, NULL);
    ASSERT_NE(elsewhere, nullptr);
    auto secondStartEnds = [&](const std::string &program, HWND page)
    {
        SCOPED_TRACE(program);
        SetForegroundWindow(elsewhere);
        Process second;
        ASSERT_TRUE(second.Start(program, d.folder));
        DWORD code = 1234;
        int windows = 0;
        EXPECT_TRUE(WaitExitCountingWindows(second, 10000, &code, &windows)) << "still running";
        EXPECT_EQ(0u, code);
        EXPECT_EQ(0, windows) << "a window of its own";
        /* The running copy's thread takes the activation when it next
         * reads its messages: until then the foreground may read NULL. */
        for (int i = 0; i < 40 && GetForegroundWindow() != page; i++)
            Sleep(50);
        EXPECT_EQ(page, GetForegroundWindow()) << "the page is not in front";
    };
    const std::string model = Models()[0];
    HWND page = StartToWelcome();
    ASSERT_NE(page, nullptr) << "no welcome page";
    secondStartEnds(d.program, page);
    page = Press(page, IDC_NEXT, kModelMark);
    ASSERT_NE(page, nullptr) << "no model page";
    Pick(page, kModelMark, model);
    page = Press(page, IDC_NEXT, kPortMark);
    ASSERT_NE(page, nullptr) << "no port page";
    secondStartEnds(other, page);
    DestroyWindow(elsewhere);

    HWND final = InstallOn(page, "LPT1:");
    ASSERT_NE(final, nullptr) << "no final page";
    ExpectCompletedFinalPage(final);
    ASSERT_TRUE(Click(final, IDOK));
    ExpectExit();
    ExpectRegistered(model, "LPT1:", false);
    EXPECT_EQ(model + "," + model + ",LPT1:", DefaultPrinterEntry());
}

// An earlier printer and driver of the model's name must be removed and
// registered anew on the port now chosen, and the unticked box must leave
// the default printer as it was.
TEST_F(Install, EarlierPrinterIsReplacedAndUntickedBoxKeepsTheDefault)
{
    const std::string model = Models()[0];
    ASSERT_TRUE(AddPrinterOf(model, "LPT2:", "OLD.GPD")) << GetLastError();
    ASSERT_TRUE(AddPrinterOf("Kept Printer", "FILE:", "OLD.GPD")) << GetLastError();
    ASSERT_TRUE(WriteProfileStringA("windows", "device", "Kept Printer,Kept Printer,FILE:"));

    HWND page = ToPortPage(model);
    ASSERT_NE(page, nullptr) << "no port page";
    HWND final = InstallOn(page, "COM2:");
    ASSERT_NE(final, nullptr) << "no final page";
    ExpectCompletedFinalPage(final);
    ASSERT_TRUE(Click(final, IDC_SET_DEFAULT));
    for (int i = 0; i < 50 && SendMessageW(GetDlgItem(final, IDC_SET_DEFAULT), BM_GETCHECK, 0, 0);
         i++)
        Sleep(50);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(GetDlgItem(final, IDC_SET_DEFAULT), BM_GETCHECK, 0, 0));
    ASSERT_TRUE(Click(final, IDOK));
    ExpectExit();
    ExpectRegistered(model, "COM2:", false);
    EXPECT_EQ("Kept Printer,Kept Printer,FILE:", DefaultPrinterEntry());
    EXPECT_EQ(1u, PrintersNamed("Kept Printer").size());
}

// The port page's list and its default follow the spooler's ports: an
// infrared port comes up selected; with only FILE: nothing is selected and
// Next gives the warning and keeps the page.
TEST_F(Install, PortListFollowsTheSpoolersPorts)
{
    {
        SCOPED_TRACE("an infrared port");
        PortList ports({"COM1:", "FILE:", "IR", "LPT1:"});
        ASSERT_TRUE(ports.Ok());
        HWND page = ToPortPage(Models()[0]);
        ASSERT_NE(page, nullptr) << "no port page";
        EXPECT_EQ(4u, ListItems(page, kPortMark).size());
        EXPECT_EQ("IR", Selected(page, kPortMark));
        ASSERT_NE(CancelAndAnswer(page, IDYES), nullptr);
        ExpectFailedFinalPageAndExit(false);
    }
    {
        SCOPED_TRACE("only FILE:");
        Process ended;
        std::swap(p.info, ended.info);
        PortList ports({"FILE:"});
        ASSERT_TRUE(ports.Ok());
        HWND page = ToPortPage(Models()[0]);
        ASSERT_NE(page, nullptr) << "no port page";
        EXPECT_EQ(std::vector<std::string>{"FILE:"}, ListItems(page, kPortMark));
        EXPECT_EQ("(none)", Selected(page, kPortMark));
        ASSERT_TRUE(Click(page, IDC_NEXT));
        HWND warning = WaitFor(kQuestionMark, 5000);
        ASSERT_NE(warning, nullptr) << "no warning";
        EXPECT_EQ(Text(pagetext::kWarningTitle), TextUtf8(warning));
        EXPECT_EQ(Text(pagetext::kSelectPort), ControlText(warning, IDC_MESSAGE_TEXT));
        EXPECT_TRUE(StaticShowsSystemIcon(GetDlgItem(warning, IDC_MESSAGE_ICON), 32513));
        ASSERT_TRUE(Click(warning, IDOK));
        ASSERT_TRUE(WaitGone(warning, 5000));
        EXPECT_EQ(page, WaitFor(kPortMark, 5000)) << "the warning ended the page";
        ASSERT_NE(CancelAndAnswer(page, IDYES), nullptr);
        ExpectFailedFinalPageAndExit(true);
    }
}

namespace
{

/* Gives a printer a comment, as its user would in its properties. */
bool SetComment(const std::string &name, const char *comment)
{
    HANDLE printer = NULL;
    PRINTER_DEFAULTSA all = {NULL, NULL, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA((LPSTR)name.c_str(), &printer, &all))
        return false;
    DWORD needed = 0;
    GetPrinterA(printer, 2, NULL, 0, &needed);
    std::vector<BYTE> buf(needed + 1);
    bool ok = needed && GetPrinterA(printer, 2, buf.data(), needed, &needed);
    if (ok)
    {
        PRINTER_INFO_2A *info = (PRINTER_INFO_2A *)buf.data();
        info->pComment = (LPSTR)comment;
        ok = SetPrinterA(printer, 2, buf.data(), 0) != 0;
    }
    ClosePrinter(printer);
    return ok;
}

void RemovePrinterOf(const std::string &name)
{
    HANDLE printer = NULL;
    PRINTER_DEFAULTSA all = {NULL, NULL, PRINTER_ALL_ACCESS};
    if (OpenPrinterA((LPSTR)name.c_str(), &printer, &all))
    {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    DeletePrinterDriverA(NULL, (LPSTR) "Windows NT x86", (LPSTR)name.c_str());
}

} // namespace

// A run that does not install the user's printer must leave it, and its
// driver, as they were: on the port the user chose, with its comment.  The
// pages delete it before anything is copied; the run's end puts it back.
TEST_F(Install, EarlierPrinterSurvivesARunThatDoesNotInstallIt)
{
    const std::string model = Models()[0], other = Models()[1];
    enum Ending
    {
        CANCEL_IN_COPY,
        FILE_MISSING,
        HALF_FAILED_REMOVAL,
        OTHER_MODEL_INSTALLED
    };
    const struct
    {
        const char *name;
        Ending ending;
        std::string printer, driver; /* the user's, before the run */
    } cases[] = {
        {"cancel in the copy dialog", CANCEL_IN_COPY, model, model},
        {"a file of the package missing", FILE_MISSING, model, model},
        {"the printer runs on another driver", HALF_FAILED_REMOVAL, model, "Kept Printer"},
        {"another model picked and left", OTHER_MODEL_INSTALLED, other, other},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        Process run;
        std::swap(p.info, run.info);
        ASSERT_TRUE(AddPrinterOf("Kept Printer", "FILE:", "OLD.GPD")) << GetLastError();
        if (c.driver == c.printer)
            ASSERT_TRUE(AddPrinterOf(c.printer, "LPT2:", "OLD.GPD")) << GetLastError();
        else
        {
            PRINTER_INFO_2A info = {};
            info.pPrinterName = (LPSTR)c.printer.c_str();
            info.pPortName = (LPSTR) "LPT2:";
            info.pDriverName = (LPSTR)c.driver.c_str();
            info.pPrintProcessor = (LPSTR) "WinPrint";
            info.pDatatype = (LPSTR) "RAW";
            HANDLE added = AddPrinterA(NULL, 2, (LPBYTE)&info);
            ASSERT_NE(nullptr, added) << GetLastError();
            ClosePrinter(added);
        }
        ASSERT_TRUE(SetComment(c.printer, "Front desk"));

        std::string folder = d.folder;
        if (c.ending == FILE_MISSING)
        {
            folder = "C:\\install_e2e_missing";
            ASSERT_TRUE(CopyPackage(d.folder, folder, d.model + ".INI"));
        }
        HWND page = StartToWelcome(folder);
        ASSERT_NE(page, nullptr) << "no welcome page";
        page = Press(page, IDC_NEXT, kModelMark);
        ASSERT_NE(page, nullptr) << "no model page";
        if (c.ending == OTHER_MODEL_INSTALLED)
        {
            Pick(page, kModelMark, other);
            page = Press(page, IDC_NEXT, kPortMark);
            ASSERT_NE(page, nullptr) << "no port page";
            page = Press(page, IDC_BACK, kModelMark);
            ASSERT_NE(page, nullptr) << "no model page after Back";
        }
        Pick(page, kModelMark, model);
        page = Press(page, IDC_NEXT, kPortMark);
        ASSERT_NE(page, nullptr) << "no port page";
        Pick(page, kPortMark, "COM2:");
        ASSERT_TRUE(Click(page, IDC_NEXT));
        if (c.ending == CANCEL_IN_COPY)
        {
            HWND copy = WaitFor(IDC_PROGRESS_BAR);
            ASSERT_NE(copy, nullptr) << "no copy dialog";
            ASSERT_NE(CancelAndAnswer(copy, IDYES), nullptr);
        }
        else if (c.ending == FILE_MISSING)
        {
            HWND error = WaitFor(IDC_MESSAGE_TEXT, 20000);
            ASSERT_NE(error, nullptr) << "no error message";
            Click(error, IDOK);
        }
        else if (c.ending == HALF_FAILED_REMOVAL)
        {
            HWND box = WaitForCaption(p.Id(), Text(pagetext::kSetupErrorCaption), 10000);
            ASSERT_NE(box, nullptr) << "no in-use message";
            Click(box, IDOK);
        }
        HWND final = WaitFor(kFinalMark, 30000);
        ASSERT_NE(final, nullptr) << "no final page";
        EXPECT_EQ(c.ending == OTHER_MODEL_INSTALLED ? Text(pagetext::kInstallDone)
                                                    : Text(pagetext::kInstallFailed),
                  ControlText(final, IDC_OUTCOME_TEXT));
        ASSERT_TRUE(Click(final, IDOK));
        ExpectExit();

        std::vector<PrinterSeen> printers = PrintersNamed(c.printer);
        ASSERT_EQ(1u, printers.size()) << "the user's printer is gone";
        EXPECT_EQ(c.driver, printers[0].driver);
        EXPECT_EQ("LPT2:", printers[0].port);
        EXPECT_EQ("Front desk", printers[0].comment);
        EXPECT_EQ(1u, DriversNamed(c.driver).size()) << "the user's driver is gone";
        EXPECT_EQ(1u, PrintersNamed("Kept Printer").size());
        for (const std::string &name : {model, other, std::string("Kept Printer")})
            RemovePrinterOf(name);
    }
}
