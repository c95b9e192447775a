/*
 * The demo's driver.  "walk PROGRAM SHOTDIR [MODEL [PORT]]" starts the
 * program and goes through the wizard as a user would: it waits for each
 * window, picks the model (default: the first listed) and the port
 * (default: LPT1:) on their pages, saves a screenshot of the window
 * (SHOTDIR\NN.bmp, with its caption in SHOTDIR\shots.txt), then presses
 * its way forward.  In the copy dialog it presses Cancel once the bar is
 * part-filled, pictures the dialog and the question that opens over it,
 * answers No and lets the copy finish.  "report" prints the drivers and
 * printers the spooler holds and the default printer.
 */
#include <stdio.h>

#include <set>

#include "driver.h"
#include "tests/win32/support/pixels.h"
#include "tests/win32/support/spooler_enum.h"
#include "../../../profile/resource.h"

using namespace e2e;

namespace
{

/* What a person presses to go on in a window, or 0 when the window is one
 * to wait through (a status window). */
int ForwardButton(HWND window)
{
    if (GetDlgItem(window, IDC_NEXT) && IsWindowEnabled(GetDlgItem(window, IDC_NEXT)))
        return IDC_NEXT;
    if (GetDlgItem(window, IDC_STATUS_TEXT))
        return 0;
    return GetDlgItem(window, IDOK) ? IDOK : GetDlgItem(window, IDYES) ? IDYES : 0;
}

std::string Signature(HWND window)
{
    std::string sig = std::to_string((ULONG_PTR)window) + "|" + TextUtf8(window);
    for (const std::string &t : StaticTexts(window))
        sig += "|" + t;
    return sig;
}

/* On the model and port pages, selects the item of that text (the first
 * item for an empty text), as a click on it does. */
void PickOnPage(HWND window, const std::string &model, const std::string &port)
{
    int listId = GetDlgItem(window, IDC_MODEL_LIST)  ? IDC_MODEL_LIST
                 : GetDlgItem(window, IDC_PORT_LIST) ? IDC_PORT_LIST
                                                     : 0;
    if (listId == 0)
        return;
    const std::string &wanted = listId == IDC_MODEL_LIST ? model : port;
    std::vector<std::string> items = ListItems(window, listId);
    for (size_t i = 0; i < items.size(); i++)
        if (wanted.empty() ? i == 0 : items[i] == wanted)
        {
            printf("    picking %s\n", items[i].c_str());
            SelectListItem(window, listId, (int)i);
            Sleep(300);
            return;
        }
    printf("    %s is not listed; keeping the page's choice\n", wanted.c_str());
}

/* The pictures of one walk: SHOTDIR\NN.bmp and a line per picture in
 * SHOTDIR\shots.txt. */
struct Shots
{
    std::string dir;
    std::string list;
    int count = 0;

    void Take(HWND window)
    {
        char name[32];
        snprintf(name, sizeof(name), "%02d", ++count);
        SaveScreenshot(dir + "\\" + name + ".bmp", window);
        std::string caption = TextUtf8(window);
        printf("window %s: \"%s\"\n", name, caption.c_str());
        for (const std::string &t : StaticTexts(window))
            if (!t.empty())
                printf("    %s\n", t.c_str());
        fflush(stdout);
        list += std::string(name) + " " + caption + "\n";
        WriteWholeFile(dir + "\\shots.txt", list);
    }
};

/* Whether the copy dialog's bar, as the screen shows it, is part-filled:
 * navy at its left end and white at its right.  Read off the screen, so a
 * bar drawn but not yet flushed to it does not count. */
bool BarPartFilled(HWND copy)
{
    HWND bar = GetDlgItem(copy, IDC_PROGRESS_BAR);
    RECT client;
    if (bar == NULL || !GetClientRect(bar, &client) || client.right < 4)
        return false;
    POINT origin = {0, client.bottom / 2};
    ClientToScreen(bar, &origin);
    pixels::Canvas row(client.right, 1);
    HDC screen = GetDC(NULL);
    bool ok =
        row.Ok() && BitBlt(row.Dc(), 0, 0, client.right, 1, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(NULL, screen);
    return ok && row.At(1, 0) == 0x000080 && row.At(client.right - 2, 0) == 0xFFFFFF;
}

/* The copy dialog mid-copy, and the cancel question over it.  Once the
 * screen shows the bar part-filled (the first file done; the demo's model
 * file is large enough to take a while), Cancel is pressed and the dialog
 * pictured: the click waits in the program's queue until the file in
 * progress is done, so the picture shows the copy going on.  The question
 * then opens over a bar that has moved on but is not full; it is pictured
 * and answered No, and the copy goes on. */
void PictureMidCopy(DWORD processId, HWND copy, Shots &shots)
{
    DWORD start = GetTickCount();
    while (IsWindow(copy) && !BarPartFilled(copy) && GetTickCount() - start < 30000)
        Sleep(10);
    if (!IsWindow(copy) || !BarPartFilled(copy))
    {
        printf("    the copy dialog showed no part-filled bar\n");
        return;
    }
    Click(copy, IDCANCEL);
    shots.Take(copy);
    printf("    -> pressing %d\n", IDCANCEL);
    HWND question = WaitForWindow(processId, 30000,
                                  [](HWND h) {
                                      return IsWindowVisible(h) && GetDlgItem(h, IDNO) &&
                                             GetDlgItem(h, IDC_MESSAGE_TEXT);
                                  });
    if (question == NULL)
    {
        printf("    the cancel question did not open\n");
        return;
    }
    /* let it paint before the picture is taken */
    Sleep(400);
    shots.Take(question);
    printf("    -> pressing %d\n", IDNO);
    Click(question, IDNO);
    WaitGone(question, 10000);
}

int Walk(const std::string &program, const std::string &shotDir, const std::string &model,
         const std::string &port)
{
    Process p;
    if (!p.Start(program, program.substr(0, program.find_last_of('\\') + 1)))
    {
        printf("cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return 1;
    }
    Shots shots = {shotDir, ""};
    std::set<std::string> seen;
    std::set<HWND> copyDialogs;
    DWORD start = GetTickCount(), code = 0;
    while (!p.WaitExit(100, &code))
    {
        if (GetTickCount() - start > 180000)
        {
            printf("the wizard did not finish within 180 s\n");
            return 1;
        }
        for (HWND w : TopLevelWindows(p.Id(), true))
        {
            if (copyDialogs.count(w))
                continue;
            if (GetDlgItem(w, IDC_COPY_FILE_NAME))
            {
                copyDialogs.insert(w);
                PictureMidCopy(p.Id(), w, shots);
                break;
            }
            std::string sig = Signature(w);
            if (seen.count(sig))
                continue;
            /* let it paint before the picture is taken */
            Sleep(400);
            if (!IsWindow(w) || !IsWindowVisible(w))
                continue;
            PickOnPage(w, model, port);
            seen.insert(Signature(w));
            shots.Take(w);
            int button = ForwardButton(w);
            if (button)
            {
                printf("    -> pressing %d\n", button);
                Click(w, button);
            }
            break;
        }
    }
    printf("the program ended with exit code %lu\n", code);
    return code == 0 ? 0 : 1;
}

int Report()
{
    printf("Printer drivers (Windows NT x86):\n");
    auto drivers = spoolenum::Drivers<DRIVER_INFO_3A>("Windows NT x86", 3);
    for (const DRIVER_INFO_3A &d : drivers)
    {
        printf("  %s (version %lu)\n    driver %s, data %s, config %s, help %s\n", d.pName,
               d.cVersion, d.pDriverPath, d.pDataFile, d.pConfigFile, d.pHelpFile);
        printf("    dependent files:");
        for (const char *f = d.pDependentFiles; f && *f; f += strlen(f) + 1)
            printf(" [%s]", f);
        printf("\n    default data type: %s\n", d.pDefaultDataType ? d.pDefaultDataType : "(none)");
    }
    if (!drivers.count)
        printf("  (none)\n");
    printf("Printers:\n");
    spoolenum::Records<PRINTER_INFO_2A> printers = spoolenum::LocalPrinters<PRINTER_INFO_2A>(2);
    for (const PRINTER_INFO_2A &p : printers)
        printf("  %s: driver %s, port %s, data type %s, processor %s, attributes 0x%lx\n",
               p.pPrinterName, p.pDriverName, p.pPortName, p.pDatatype ? p.pDatatype : "(none)",
               p.pPrintProcessor ? p.pPrintProcessor : "(none)", p.Attributes);
    if (!printers.count)
        printf("  (none)\n");
    std::string device = DefaultPrinterEntry();
    printf("Default printer (windows/device): %s\n", device.empty() ? "(none)" : device.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && argc <= 6 && strcmp(argv[1], "walk") == 0)
        return Walk(argv[2], argv[3], argc > 4 ? argv[4] : "", argc > 5 ? argv[5] : "LPT1:");
    if (argc == 2 && strcmp(argv[1], "report") == 0)
        return Report();
    fprintf(stderr,
            "usage: demo_driver walk PROGRAM SHOTDIR [MODEL [PORT]] | demo_driver report\n");
    return 2;
}
