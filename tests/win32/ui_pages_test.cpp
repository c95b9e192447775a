/*
 * The wizard pages shown from the English resources linked into this test
 * program and operated through their buttons and keys: the results each
 * page ends with, the cancel question that guards Cancel, the welcome
 * text, the model and port lists (what they hold, what comes up selected,
 * how the items look), the warnings for a missing choice, the spooler work
 * behind Next, the in-use message when a removal is refused, and the final
 * page's outcome display and default-printer box.  The spooler is the
 * stand-in that keeps Windows' rules (rules_spooler.h): its ports, drivers
 * and printers are set per case, it refuses a call where a case asks, and
 * it logs every call.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <strsafe.h>

#include <string>
#include <vector>

#include "support/pixels.h"
#include "support/rules_spooler.h"
#include "support/temp_inf.h"
#include "support/ui_driver.h"
#include "app/setup_state.h"
#include "app/startup.h"
#include "profile/build_profile.h"
#include "profile/common_texts.h"
#include "profile/resource.h"
#include "spooler/kept_records.h"
#include "spooler/port_names.h"
#include "spooler/spooler_api.h"
#include "ui/pages.h"
#include "tests/support/page_texts.h"

using namespace uitest;
using pixels::Canvas;
using pixels::SysRgb;

namespace
{

const char kModel[] = "Test Model 270";
const char kInUseMessage[] = "Previous verion driver is currently used by an application.\n"
                             "Terminate all applications. And then delete previous version "
                             "driver from printer folderand retry.";
/* The system message box's text control. */
const int kMessageBoxText = 0xFFFF;

const char kInf[] = "[TarvikSystems]\r\n"
                    "\"Alpha\"=Alpha.Install,TARVIK_ALPHA\r\n"
                    "\"Beta Two\"=Beta.Install\r\n"
                    "\"Test Model 270\"=Alpha.Install\r\n"
                    "\r\n"
                    "[Alpha.Install]\r\n"
                    "CopyFiles=@A.GPD,A.DLL\r\n"
                    "DataSection=A_DATA\r\n"
                    "\r\n"
                    "[Beta.Install]\r\n"
                    "CopyFiles=B.GPD,B.DLL,B.INI\r\n"
                    "DataSection=B_DATA\r\n"
                    "\r\n"
                    "[B_DATA]\r\n"
                    "DefaultDataType=NT EMF 1.008\r\n";
const std::vector<std::string> kModels = {"Alpha", "Beta Two", "Test Model 270"};

class PagesTest : public ::testing::Test
{
  protected:
    HWND owner = NULL;
    std::string infPath;

    void SetUp() override
    {
        g_state.instance = GetModuleHandleA(NULL);
        g_state.environment = kEnvironmentX86;
        g_state.osIndex = 3;
        g_state.driverVersion = 3;
        StringCchCopyA(g_state.modelName, sizeof(g_state.modelName), kModel);
        g_state.portName[0] = '\0';
        ReleaseKeptRecords(); /* an earlier case's removals */
        UseSpooler({});

        infPath = tempinf::Folder("ui_pages_test") + "M270.INF";
        ASSERT_TRUE(tempinf::Write(infPath, kInf));

        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        /* Like the hidden main window: the desktop's rectangle. */
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, desktop.left, desktop.top,
                                desktop.right, desktop.bottom, NULL, NULL, g_state.instance, NULL);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override
    {
        g_spooler = &kWinSpooler;
        DestroyWindow(owner);
    }

    /* The stand-in with the ports the pages list, and a printer on its own
     * driver of each name given. */
    static void UseSpooler(const std::vector<std::string> &printers)
    {
        rules::Reset();
        rules::World().ports = {"COM1:", "COM2:", "FILE:", "LPT1:"};
        for (const std::string &name : printers)
        {
            rules::World().drivers.push_back(name);
            rules::World().printers.push_back({name, name, "LPT1:", 0, false});
        }
        g_spooler = &rules::kRulesSpooler;
    }
};

/* The selected item's text, or "(none)". */
std::string Selected(HWND dialog, int listId)
{
    LRESULT index = SendDlgItemMessageA(dialog, listId, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return "(none)";
    return ListItems(dialog, listId)[index];
}

typedef INT_PTR (*PageRunner)(HWND);

struct PageCase
{
    const char *name;
    PageRunner run;
    int mark;    /* a control only this page has */
    int focusId; /* the control focused when it opens */
    bool hasBack;
};

const PageCase kPages[] = {
    {"welcome", RunWelcomePage, IDC_WELCOME_TEXT, IDC_NEXT, false},
    {"model", RunModelPage, IDC_MODEL_LIST, IDC_MODEL_LIST, true},
    {"port", RunPortPage, IDC_PORT_LIST, IDC_PORT_LIST, true},
};

/* Guards against Next or Back ending a page with the wrong result, a page
 * setting no focus (it answers 0 to WM_INITDIALOG) or focusing the wrong
 * control, and the hidden picture button showing. */
TEST_F(PagesTest, NextAndBackEndThePagesWithTheirResults)
{
    for (const PageCase &page : kPages)
    {
        SCOPED_TRACE(page.name);
        HWND focus = NULL;
        HWND expectedFocus = (HWND)1;
        bool pictureVisible = true;
        std::vector<Step> steps = {{page.mark,
                                    [&](HWND d)
                                    {
                                        focus = GetFocus();
                                        expectedFocus = GetDlgItem(d, page.focusId);
                                        pictureVisible =
                                            IsWindowVisible(GetDlgItem(d, IDC_PICTURE_BUTTON));
                                    },
                                    ACT_CLICK, IDC_NEXT}};
        EXPECT_EQ(IDC_NEXT, DriveModal([&] { return page.run(owner); }, steps));
        EXPECT_EQ(expectedFocus, focus);
        EXPECT_FALSE(pictureVisible);
        if (page.hasBack)
        {
            steps = {{page.mark, nullptr, ACT_CLICK, IDC_BACK}};
            EXPECT_EQ(IDC_BACK, DriveModal([&] { return page.run(owner); }, steps));
        }
    }
}

/* Guards against Cancel ending a page without asking, No ending it anyway,
 * and Escape or the close box bypassing the question. */
TEST_F(PagesTest, CancelEndsThePageOnlyWhenTheQuestionIsAnsweredYes)
{
    for (const PageCase &page : kPages)
    {
        SCOPED_TRACE(page.name);
        bool stillUp = false;
        std::string question;
        std::vector<Step> steps = {
            {page.mark, nullptr, ACT_CLICK, IDCANCEL},
            {IDC_MESSAGE_TEXT, [&](HWND d) { question = ItemText(d, IDC_MESSAGE_TEXT); }, ACT_CLICK,
             IDNO},
            {page.mark, [&](HWND) { stillUp = true; }, ACT_KEY, VK_ESCAPE},
            {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDNO},
            {page.mark, nullptr, ACT_CLOSE_BOX, 0},
            {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDYES},
        };
        size_t done = 0;
        EXPECT_EQ(IDCANCEL, DriveModal([&] { return page.run(owner); }, steps, &done));
        EXPECT_EQ(steps.size(), done);
        EXPECT_TRUE(stillUp);
        EXPECT_EQ(pagetext::kConfirmCancel.english, question);
    }
    EXPECT_TRUE(rules::World().calls.empty()) << "a cancelled page touched the spooler";
}

/* Guards against the welcome page showing the x64 text in the x86
 * environment (or the template's placeholder), and against the page not
 * being centred over its owner. */
TEST_F(PagesTest, WelcomeTextFollowsTheEnvironment)
{
    struct Case
    {
        const char *environment;
        const char *text;
    };
    const Case cases[] = {{kEnvironmentX86, g_profile.welcomeTexts[0]},
                          {kEnvironmentX64, g_profile.welcomeTexts[1]}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.environment);
        g_state.environment = c.environment;
        std::string shown;
        RECT page = {0, 0, 0, 0};
        std::vector<Step> steps = {{IDC_WELCOME_TEXT,
                                    [&](HWND d)
                                    {
                                        shown = ItemText(d, IDC_WELCOME_TEXT);
                                        page = ScreenRect(d);
                                    },
                                    ACT_CLICK, IDC_NEXT}};
        DriveModal([&] { return RunWelcomePage(owner); }, steps);
        EXPECT_EQ(c.text, shown);
        RECT o = ScreenRect(owner);
        EXPECT_LE(abs((page.left + page.right) - (o.left + o.right)), 1);
        EXPECT_LE(abs((page.top + page.bottom) - (o.top + o.bottom)), 1);
    }
}

/* --- the model page ----------------------------------------------------- */

/* What a list page showed when it opened. */
struct ListSeen
{
    std::vector<std::string> items;
    std::string selected;
    bool listFocused = false;
    LRESULT itemHeight = 0;
};

Step LookAtList(int listId, ListSeen *seen, ActionKind action, int id)
{
    return {listId,
            [=](HWND d)
            {
                seen->items = ListItems(d, listId);
                seen->selected = Selected(d, listId);
                seen->listFocused = GetFocus() == GetDlgItem(d, listId);
                seen->itemHeight = SendDlgItemMessageA(d, listId, LB_GETITEMHEIGHT, 0, 0);
            },
            action, id};
}

/* Guards against models missing, reordered or repeated, the first model
 * not selected, the list not focused, and an item height other than 34. */
TEST_F(PagesTest, ModelPageListsTheModelsWithTheFirstSelected)
{
    ListSeen seen;
    DriveModal([&] { return RunModelPage(owner); },
               {LookAtList(IDC_MODEL_LIST, &seen, ACT_CLICK, IDC_BACK)});
    EXPECT_EQ(kModels, seen.items);
    EXPECT_EQ("Alpha", seen.selected);
    EXPECT_TRUE(seen.listFocused);
    EXPECT_EQ(34, seen.itemHeight);
}

/* Guards against Next taking another model than the selected one, asking
 * for a deletion without an installed driver, or not reading the chosen
 * model's data. */
TEST_F(PagesTest, ModelNextTakesTheSelectedModelAndReadsItsData)
{
    UseSpooler({"Alpha", "Beta Two"});
    rules::World().drivers[1] = "beta two"; /* not "Beta Two": case matters */
    std::vector<Step> steps = {
        {IDC_MODEL_LIST, [](HWND d) { SendDlgItemMessageA(d, IDC_MODEL_LIST, LB_SETCURSEL, 1, 0); },
         ACT_CLICK, IDC_NEXT}};
    EXPECT_EQ(IDC_NEXT, DriveModal([&] { return RunModelPage(owner); }, steps));
    EXPECT_STREQ("Beta Two", g_state.modelName);
    EXPECT_EQ(std::vector<std::string>{"EnumPrinterDrivers Windows NT x86, level 1"},
              rules::World().calls);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta Two"}), rules::PrinterNames());
    EXPECT_EQ(3u, g_state.fileCount);
    EXPECT_STREQ("B.GPD", g_state.dependentFiles);
    EXPECT_STREQ("NT EMF 1.008", g_state.defaultDataType);
}

/* Guards against an earlier printer of the model's name left in place when
 * its driver is registered, against it opened with too little access to
 * delete it (Windows then refuses), and against the removal of more than
 * that printer (the driver stays for the port page). */
TEST_F(PagesTest, ModelNextDeletesThePrinterOfAnInstalledDriver)
{
    UseSpooler({"Other", "Alpha"});
    EXPECT_EQ(IDC_NEXT, DriveModal([&] { return RunModelPage(owner); },
                                   {{IDC_MODEL_LIST, nullptr, ACT_CLICK, IDC_NEXT}}));
    EXPECT_STREQ("Alpha", g_state.modelName);
    EXPECT_EQ((std::vector<std::string>{"EnumPrinterDrivers Windows NT x86, level 1",
                                        "OpenPrinter Alpha, all access", "DeletePrinter Alpha",
                                        "ClosePrinter Alpha"}),
              rules::World().calls);
    EXPECT_EQ((std::vector<std::string>{"Other", "Alpha"}), rules::World().drivers);
    EXPECT_EQ(2u, g_state.fileCount);
    EXPECT_STREQ("RAW", g_state.defaultDataType);
}

/* Guards against Next going on without a model, the wrong warning, and the
 * warning ending the page. */
TEST_F(PagesTest, ModelNextWithoutAModelWarnsAndStays)
{
    tempinf::Use(infPath + ".missing");
    ListSeen list;
    BoxSeen warning;
    bool stayed = false;
    std::vector<Step> steps = {
        LookAtList(IDC_MODEL_LIST, &list, ACT_CLICK, IDC_NEXT),
        LookAtBox(&warning, IDC_MESSAGE_TEXT),
        {IDC_MODEL_LIST, [&](HWND) { stayed = true; }, ACT_CLICK, IDCANCEL},
        {IDC_MESSAGE_TEXT, nullptr, ACT_CLICK, IDYES},
    };
    EXPECT_EQ(IDCANCEL, DriveModal([&] { return RunModelPage(owner); }, steps));
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ("(none)", list.selected);
    ASSERT_TRUE(warning.up);
    EXPECT_EQ(pagetext::kWarningTitle.english, warning.caption);
    EXPECT_EQ(pagetext::kSelectModel.english, warning.text);
    EXPECT_EQ(LoadIconA(NULL, IDI_HAND), warning.icon);
    EXPECT_EQ(std::vector<int>{IDOK}, warning.buttons);
    EXPECT_TRUE(stayed);
    EXPECT_STREQ(kModel, g_state.modelName) << "the model name changed";
    EXPECT_TRUE(rules::World().calls.empty());
}

/* --- the port page ------------------------------------------------------ */

/* Guards against the wrong default port (infrared before COM1:, prefix and
 * case rules of the list box's search), a port shown twice, and a failing
 * port list not leaving the list empty. */
TEST_F(PagesTest, PortPageListsThePortsAndSelectsTheDefault)
{
    struct Case
    {
        const char *name;
        std::vector<std::string> ports;
        bool fail;
        std::vector<std::string> items;
        std::string selected;
    };
    const Case cases[] = {
        {"infrared and COM1:",
         {"LPT1:", "COM1:", "IR", "FILE:"},
         false,
         {"LPT1:", "COM1:", "IR", "FILE:"},
         "IR"},
        {"parallel and COM1:",
         {"LPT1:", "LPT2:", "COM1:", "COM2:"},
         false,
         {"LPT1:", "LPT2:", "COM1:", "COM2:"},
         "COM1:"},
        {"only FILE:", {"FILE:"}, false, {"FILE:"}, "(none)"},
        {"COM10: is not COM1:", {"COM10:", "COM1:"}, false, {"COM10:", "COM1:"}, "COM1:"},
        {"infrared in lower case", {"COM1:", "irda1"}, false, {"COM1:", "irda1"}, "irda1"},
        {"IR only as a prefix", {"XIR", "COM1:"}, false, {"XIR", "COM1:"}, "COM1:"},
        {"first infrared port", {"IR2", "COM1:", "IR1"}, false, {"IR2", "COM1:", "IR1"}, "IR2"},
        {"listed twice",
         {"COM1:", "LPT1:", "COM1:", "lpt1:", "FILE:"},
         false,
         {"COM1:", "LPT1:", "FILE:"},
         "COM1:"},
        {"no ports", {}, false, {}, "(none)"},
        {"spooler refuses the list", {"COM1:"}, true, {}, "(none)"},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        rules::World().ports = c.ports;
        if (c.fail)
            rules::World().refuse["EnumPorts"] = ERROR_INVALID_LEVEL;
        ListSeen seen;
        DriveModal([&] { return RunPortPage(owner); },
                   {LookAtList(IDC_PORT_LIST, &seen, ACT_CLICK, IDC_BACK)});
        EXPECT_EQ(c.items, seen.items);
        EXPECT_EQ(c.selected, seen.selected);
        EXPECT_TRUE(seen.listFocused);
        EXPECT_EQ(34, seen.itemHeight);
    }
}

/* Guards against Next going on without a port, the wrong warning, and the
 * warning ending the page or removing anything. */
TEST_F(PagesTest, PortNextWithoutAPortWarnsAndStays)
{
    rules::World().ports = {"FILE:"};
    BoxSeen warning;
    bool stayed = false;
    std::vector<Step> steps = {
        {IDC_PORT_LIST, nullptr, ACT_CLICK, IDC_NEXT},
        LookAtBox(&warning, IDC_MESSAGE_TEXT),
        {IDC_PORT_LIST, [&](HWND) { stayed = true; }, ACT_CLICK, IDC_BACK},
    };
    EXPECT_EQ(IDC_BACK, DriveModal([&] { return RunPortPage(owner); }, steps));
    ASSERT_TRUE(warning.up);
    EXPECT_EQ(pagetext::kWarningTitle.english, warning.caption);
    EXPECT_EQ(pagetext::kSelectPort.english, warning.text);
    EXPECT_EQ(LoadIconA(NULL, IDI_HAND), warning.icon);
    EXPECT_TRUE(stayed);
    EXPECT_STREQ("", g_state.portName);
    EXPECT_TRUE(rules::World().calls.empty());
}

/* Guards against the chosen port not kept, and against the earlier printer
 * and driver of the model's name not removed (or removed with too little
 * access) before the copy. */
TEST_F(PagesTest, PortNextRemovesTheEarlierPrinterAndDriver)
{
    struct Case
    {
        const char *name;
        std::vector<std::string> printers;
        std::vector<std::string> work;
    };
    const Case cases[] = {
        {"earlier printer",
         {"Other", kModel},
         {"OpenPrinter Test Model 270, all access", "DeletePrinter Test Model 270",
          "ClosePrinter Test Model 270", "EnumPrinterDrivers Windows NT x86, level 6",
          "DeletePrinterDriver Test Model 270, Windows NT x86"}},
        {"nothing earlier", {"Other"}, {"OpenPrinter Test Model 270, all access"}},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        UseSpooler(c.printers);
        std::vector<Step> steps = {{IDC_PORT_LIST,
                                    [](HWND d)
                                    { SendDlgItemMessageA(d, IDC_PORT_LIST, LB_SETCURSEL, 3, 0); },
                                    ACT_CLICK, IDC_NEXT}};
        EXPECT_EQ(IDC_NEXT, DriveModal([&] { return RunPortPage(owner); }, steps));
        EXPECT_STREQ("LPT1:", g_state.portName);
        EXPECT_EQ(c.work, rules::World().calls);
        EXPECT_EQ(std::vector<std::string>{"Other"}, rules::PrinterNames());
    }
}

/* Guards against a refused removal going on to the copy, the in-use message
 * not shown (or not in the system message box over the page), and the page
 * ending with anything but Cancel. */
TEST_F(PagesTest, RefusedRemovalShowsTheInUseMessageAndCancels)
{
    struct Case
    {
        const char *name;
        const char *refused;
        DWORD error;
    };
    for (const Case &c : {Case{"driver in use", "DeletePrinterDriver", ERROR_PRINTER_DRIVER_IN_USE},
                          Case{"printer refused", "DeletePrinter", ERROR_ACCESS_DENIED}})
    {
        SCOPED_TRACE(c.name);
        UseSpooler({kModel});
        rules::World().refuse[c.refused] = c.error;
        BoxSeen seen;
        HWND page = NULL;
        std::vector<Step> steps = {{IDC_PORT_LIST, [&](HWND d) { page = d; }, ACT_CLICK, IDC_NEXT},
                                   LookAtBox(&seen, kMessageBoxText)};
        EXPECT_EQ(IDCANCEL, DriveModal([&] { return RunPortPage(owner); }, steps));
        ASSERT_TRUE(seen.up) << "no in-use message";
        EXPECT_EQ("Setup error", seen.caption);
        EXPECT_EQ(kInUseMessage, seen.text);
        EXPECT_EQ(LoadIconA(NULL, IDI_HAND), seen.icon);
        EXPECT_EQ(page, seen.owner) << "the message box is not owned by the page";
        EXPECT_STREQ("COM1:", g_state.portName);
    }
}

/* Guards against the pages' removals going on to the copy where Windows
 * refuses them: the model page's deletion refused for want of administrator
 * rights, or a driver still held by a printer pending deletion on its jobs,
 * must end the port page with the in-use message.  A printer the model page
 * left pending is no longer found by name, so the port page goes on; the
 * install then revives it (ui_sequencer_test). */
TEST_F(PagesTest, RemovalsUnderWindowsRules)
{
    struct Case
    {
        const char *name;
        bool modelPage; /* the walk starts on the model page, which finds the driver */
        bool administrator;
        int jobs;
        bool inUse; /* the port page stops with the in-use message */
        std::vector<std::string> printers, drivers; /* afterwards */
    };
    const std::vector<std::string> model = {kModel}, none;
    const Case cases[] = {
        {"idle printer", true, true, 0, false, none, model},
        {"printer with jobs", true, true, 1, false, none, model},
        {"not an administrator", true, false, 0, true, model, model},
        {"port page alone, idle printer", false, true, 0, false, none, none},
        {"port page alone, printer with jobs", false, true, 1, true, none, model},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        UseSpooler({kModel});
        rules::World().administrator = c.administrator;
        rules::World().printers[0].jobs = c.jobs;
        if (c.modelPage)
        {
            std::vector<Step> steps = {
                {IDC_MODEL_LIST,
                 [](HWND d) { SendDlgItemMessageA(d, IDC_MODEL_LIST, LB_SETCURSEL, 2, 0); },
                 ACT_CLICK, IDC_NEXT}};
            ASSERT_EQ(IDC_NEXT, DriveModal([&] { return RunModelPage(owner); }, steps));
            ASSERT_STREQ(kModel, g_state.modelName);
        }
        BoxSeen seen;
        std::vector<Step> steps = {{IDC_PORT_LIST, nullptr, ACT_CLICK, IDC_NEXT}};
        if (c.inUse)
            steps.push_back(LookAtBox(&seen, kMessageBoxText));
        EXPECT_EQ(c.inUse ? IDCANCEL : IDC_NEXT,
                  DriveModal([&] { return RunPortPage(owner); }, steps));
        EXPECT_EQ(c.inUse, seen.up);
        EXPECT_EQ(c.printers, rules::PrinterNames());
        EXPECT_EQ(c.drivers, rules::World().drivers);
    }
}

/* --- the lists as drawn on the pages ------------------------------------ */

/* The list's client area as painted, once it has painted. */
std::vector<uint32_t> PaintedList(HWND dialog, int listId, SIZE *size)
{
    HWND list = GetDlgItem(dialog, listId);
    UpdateWindow(dialog);
    UpdateWindow(list);
    *size = pixels::ClientSize(list);
    Canvas canvas(size->cx, size->cy);
    pixels::CaptureClient(list, canvas);
    return canvas.Pixels();
}

std::vector<uint32_t> BlockOf(const std::vector<uint32_t> &shown, SIZE size, int x, int y)
{
    std::vector<uint32_t> block;
    for (int row = y; row < y + 32; ++row)
        for (int col = x; col < x + 32; ++col)
            block.push_back(shown[(size_t)row * size.cx + col]);
    return block;
}

/* Guards against the page's lists not drawn with their icons at the item
 * height, the selection not highlighted across the icon's place, and the
 * wrong rule on either page. */
TEST_F(PagesTest, ListsShowTheIconOfEachItem)
{
    rules::World().ports = {"COM1:", "FILE:", "\\\\server\\queue"};
    const int bux = LOWORD(GetDialogBaseUnits());
    struct Case
    {
        const char *name;
        PageRunner run;
        int listId;
        std::vector<const char *> icons; /* of items 0, 1, 2 */
    };
    const Case cases[] = {
        {"model", RunModelPage, IDC_MODEL_LIST, {"IDI_PRINTER", "IDI_PRINTER", "IDI_PRINTER"}},
        {"port", RunPortPage, IDC_PORT_LIST, {"IDI_PORT", "IDI_SETUP", "IDI_NETWORK"}},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> shown;
        SIZE size = {0, 0};
        DriveModal([&] { return c.run(owner); },
                   {{c.listId, [&](HWND d) { shown = PaintedList(d, c.listId, &size); }, ACT_CLICK,
                     IDC_BACK}});
        ASSERT_GE(size.cy, 3 * 34);
        for (int i = 0; i < 3; ++i)
        {
            SCOPED_TRACE(i);
            /* Item 0 is selected on both pages. */
            uint32_t back = SysRgb(i == 0 ? COLOR_HIGHLIGHT : COLOR_WINDOW);
            EXPECT_EQ(pixels::RenderIcon(LoadIconA(g_state.instance, c.icons[i]), back),
                      BlockOf(shown, size, bux, i * 34 + 1));
            /* Beside and between the icon and the text, the state's colour. */
            EXPECT_EQ(back, shown[(size_t)(i * 34 + 17) * size.cx + 2]);
            EXPECT_EQ(back, shown[(size_t)(i * 34 + 17) * size.cx + bux + 33]);
        }
    }
}

/* Guards against an empty list showing an item (an icon, a highlight, a
 * text) while it has the focus.  Windows asks the owner to draw an empty
 * list's focus as item -1, which DrawIconItem answers by drawing nothing
 * (ui_icon_list_test).  Wine's list box does not ask: it draws that focus
 * rectangle itself, around the first item's place (dlls/user32/listbox.c,
 * LISTBOX_PaintItem with an index past the end and ODA_FOCUS), so on Wine
 * those edge pixels are the platform's, and everything else must be the
 * window colour. */
TEST_F(PagesTest, EmptyFocusedListShowsNoItem)
{
    tempinf::Use(infPath + ".missing");
    std::vector<uint32_t> shown;
    SIZE size = {0, 0};
    bool focused = false;
    LRESULT itemHeight = 0;
    DriveModal([&] { return RunModelPage(owner); },
               {{IDC_MODEL_LIST,
                 [&](HWND d)
                 {
                     focused = GetFocus() == GetDlgItem(d, IDC_MODEL_LIST);
                     itemHeight = SendDlgItemMessageA(d, IDC_MODEL_LIST, LB_GETITEMHEIGHT, 0, 0);
                     shown = PaintedList(d, IDC_MODEL_LIST, &size);
                 },
                 ACT_CLICK, IDC_BACK}});
    EXPECT_TRUE(focused);
    ASSERT_EQ((size_t)size.cx * size.cy, shown.size());
    int offEdge = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
        {
            bool edge =
                y < itemHeight && (x == 0 || x == size.cx - 1 || y == 0 || y == itemHeight - 1);
            if (!edge && shown[(size_t)y * size.cx + x] != SysRgb(COLOR_WINDOW))
                ++offEdge;
        }
    EXPECT_EQ(0, offEdge) << "an empty list shows something besides a focus rectangle";
}

/* --- the final page ----------------------------------------------------- */

/* Guards against a failed run offered the default-printer box or shown the
 * success text or icon (only outcome 1 is success), the caption left as the
 * wizard's, and the outcome not kept for the OK button. */
TEST_F(PagesTest, FinalPageShowsTheOutcome)
{
    struct Case
    {
        WORD outcome;
        bool completed;
    };
    const Case cases[] = {{1, true}, {2, false}, {0, false}, {3, false}, {0x101, false}};
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.outcome);
        FinalSeen seen;
        EXPECT_EQ(IDOK, DriveModal([&] { return RunFinalPage(owner, c.outcome); },
                                   {LookAtFinal(&seen, ACT_KEY, VK_ESCAPE)}));
        EXPECT_EQ(c.outcome, g_state.messageType);
        EXPECT_EQ(GetWindowTitle(), seen.caption);
        EXPECT_EQ(c.completed ? pagetext::kInstallDone.english : pagetext::kInstallFailed.english,
                  seen.outcome);
        EXPECT_EQ(LoadIconA(NULL, c.completed ? IDI_ASTERISK : IDI_HAND), seen.icon);
        EXPECT_EQ(c.completed, seen.boxVisible);
        EXPECT_EQ(c.completed, seen.boxTicked);
        EXPECT_EQ(GetCopyrightNotice(), seen.copyright);
        EXPECT_TRUE(seen.okFocused);
    }
    EXPECT_TRUE(rules::World().calls.empty()) << "Escape asked for the default printer";
}

/* Guards against the default printer being set when the box is unticked,
 * when the run failed, or on Escape, and against it not being set (or set
 * to another name) when the user leaves the box ticked and presses OK. */
TEST_F(PagesTest, FinalPageSetsTheDefaultPrinterOnlyWhenAskedTo)
{
    struct Case
    {
        const char *name;
        WORD outcome;
        bool untick;
        ActionKind action;
        int id;
        bool expectRequest;
    };
    const Case cases[] = {
        {"ticked, OK", 1, false, ACT_CLICK, IDOK, true},
        {"ticked, Enter on OK", 1, false, ACT_KEY, VK_RETURN, true},
        {"unticked, OK", 1, true, ACT_CLICK, IDOK, false},
        {"ticked, Escape", 1, false, ACT_KEY, VK_ESCAPE, false},
        {"ticked, close box", 1, false, ACT_CLOSE_BOX, 0, false},
        {"failed, OK", 2, false, ACT_CLICK, IDOK, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        rules::World().calls.clear();
        std::vector<Step> steps;
        if (c.untick)
            steps.push_back({IDC_SET_DEFAULT, nullptr, ACT_CLICK, IDC_SET_DEFAULT});
        steps.push_back({IDC_SET_DEFAULT, nullptr, c.action, c.id});
        EXPECT_EQ(IDOK, DriveModal([&] { return RunFinalPage(owner, c.outcome); }, steps));
        if (c.expectRequest)
            EXPECT_EQ(std::vector<std::string>{"OpenPrinter Test Model 270"}, rules::World().calls);
        else
            EXPECT_TRUE(rules::World().calls.empty());
    }
}

/* --- the port page inside the wizard ------------------------------------ */

/* Guards against a refused removal on the port page going anywhere but the
 * final page's failure display (without the default-printer box), against
 * anything being registered after it but the printer it deleted, put back
 * at the run's end, and against that put-back's refusal kept from the user
 * or changing the final page. */
TEST_F(PagesTest, RefusedRemovalEndsTheWizardAtTheFailedFinalPage)
{
    UseSpooler({kModel});
    rules::World().refuse["DeletePrinterDriver"] = ERROR_PRINTER_DRIVER_IN_USE;
    rules::World().refuse["AddPrinter"] = ERROR_ACCESS_DENIED;

    BoxSeen inUse;
    BoxSeen refusal;
    FinalSeen final;
    std::vector<Step> steps = {
        {IDC_PORT_LIST, nullptr, ACT_CLICK, IDC_NEXT},
        LookAtBox(&inUse, kMessageBoxText),
        LookAtBox(&refusal, kMessageBoxText),
        LookAtFinal(&final),
    };
    size_t done = 0;
    INT_PTR code = DriveModal([] { return RunSequencer(CMD_PORT_PAGE); }, steps, &done);
    EXPECT_EQ(0, code);
    EXPECT_EQ(steps.size(), done);
    EXPECT_TRUE(inUse.up);
    EXPECT_EQ("Add a printer error ", refusal.caption);
    EXPECT_EQ("Cannot put back what the setup removed!\r\n"
              "Printer \"Test Model 270\" (System Error Code : 5)",
              refusal.text);
    ASSERT_TRUE(final.up) << "no final page";
    EXPECT_EQ(pagetext::kInstallFailed.english, final.outcome);
    EXPECT_FALSE(final.boxVisible);
    EXPECT_EQ(LoadIconA(NULL, IDI_HAND), final.icon);
    EXPECT_EQ(0, rules::CountCalls("AddPrinterDriver "));
    EXPECT_EQ(1, rules::CountCalls("AddPrinter "));
}

} // namespace
