/*
 * Cross-process window driving for the end-to-end tests and the demo.
 * Texts are read with the UTF-16 calls, so the Korean builds' texts compare
 * as the user sees them whatever code page the driver itself runs under.
 */
#include "driver.h"

#include "profile/build_profile.h"
#include "tests/win32/support/pixels.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace e2e
{

std::string Utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, NULL, NULL);
    return out;
}

std::wstring Wide(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), NULL, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), &out[0], n);
    return out;
}

std::string Env(const char *name)
{
    const char *value = getenv(name);
    return value ? value : "";
}

bool SetWindowsVersion(const char *version)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    std::wstring v = Wide(version);
    LONG rc = RegSetValueExW(key, L"Version", 0, REG_SZ, (const BYTE *)v.c_str(),
                             (DWORD)((v.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool Process::Start(const std::string &exePath, const std::string &workDir)
{
    /* A Process may start one program after another; the earlier one's
     * handles go. */
    Kill();
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
    info = {};
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    std::wstring cmd = L"\"" + Wide(exePath) + L"\"";
    std::wstring dir = Wide(workDir);
    return CreateProcessW(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL,
                          dir.empty() ? NULL : dir.c_str(), &si, &info) != 0;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD *exitCode)
{
    if (!info.hProcess)
        return false;
    if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(info.hProcess, exitCode);
    return true;
}

void Process::Kill()
{
    if (info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
    {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
}

Process::~Process()
{
    Kill();
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
}

bool Deliverable::Load()
{
    program = Env("SETUP_PROGRAM");
    lang = Env("SETUP_LANG");
    model = Env("SETUP_MODEL");
    systems = Env("SETUP_SYSTEMS");
    size_t slash = program.find_last_of('\\');
    folder = slash == std::string::npos ? std::string() : program.substr(0, slash);
    return !program.empty() && !lang.empty() && !model.empty() && !systems.empty();
}

std::string Deliverable::ClassName() const
{
    return "QXV_" + model + "_Driver_Setup";
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring TextOf(HWND hwnd)
{
    /* WM_GETTEXT reaches the other process's control; a time-out keeps a
     * hung program from hanging the test. */
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len))
        return std::wstring();
    std::wstring text(len + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, len + 1, (LPARAM)&text[0], SMTO_ABORTIFHUNG, 2000, &got);
    text.resize(got);
    return text;
}

std::string TextUtf8(HWND hwnd)
{
    return Utf8(TextOf(hwnd));
}

std::string ControlText(HWND dialog, int id)
{
    HWND ctl = GetDlgItem(dialog, id);
    return ctl ? TextUtf8(ctl) : std::string();
}

bool ControlVisible(HWND dialog, int id)
{
    HWND ctl = GetDlgItem(dialog, id);
    return ctl && IsWindowVisible(ctl);
}

struct EnumContext
{
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

static BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lParam)
{
    EnumContext *ctx = (EnumContext *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ctx->processId && (!ctx->visibleOnly || IsWindowVisible(hwnd)))
        ctx->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly)
{
    EnumContext ctx = {processId, visibleOnly, {}};
    EnumWindows(CollectTopLevel, (LPARAM)&ctx);
    return ctx.found;
}

HWND WaitForWindow(DWORD processId, DWORD timeoutMs, const std::function<bool(HWND)> &pred)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        for (HWND hwnd : TopLevelWindows(processId, false))
            if (pred(hwnd))
                return hwnd;
        if (GetTickCount() - start > timeoutMs)
            return NULL;
        Sleep(50);
    }
}

bool WaitExitCountingWindows(Process &p, DWORD timeoutMs, DWORD *exitCode, int *windowsSeen)
{
    *windowsSeen = 0;
    DWORD start = GetTickCount();
    for (;;)
    {
        if (p.WaitExit(20, exitCode))
            return true;
        for (HWND hwnd : TopLevelWindows(p.Id(), false))
        {
            std::string cls = Utf8(ClassOf(hwnd));
            bool mainWindow = false;
            for (const char *setupClass : kSetupWindowClasses)
                mainWindow = mainWindow || cls == setupClass;
            if (mainWindow || IsWindowVisible(hwnd))
                ++*windowsSeen;
        }
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (GetTickCount() - start > timeoutMs)
            return false;
    }
}

HWND WaitForCaption(DWORD processId, const std::string &caption, DWORD timeoutMs)
{
    return WaitForWindow(processId, timeoutMs,
                         [&](HWND hwnd)
                         { return IsWindowVisible(hwnd) && TextUtf8(hwnd) == caption; });
}

HWND WaitForDialogWithControl(DWORD processId, int controlId, DWORD timeoutMs)
{
    return WaitForWindow(processId, timeoutMs,
                         [&](HWND hwnd)
                         { return IsWindowVisible(hwnd) && GetDlgItem(hwnd, controlId) != NULL; });
}

bool WaitGone(HWND hwnd, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(hwnd) && IsWindowVisible(hwnd))
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

bool Click(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return false;
    /* Posted, not sent: the click may open a modal dialog, and a sent
     * message would not return before that dialog closes. */
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

void PressKey(HWND dialog, WORD vk)
{
    /* The dialog manager acts on keys that reach its modal loop, so post
     * them to the control that has the focus in that dialog's thread. */
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    HWND target = dialog;
    DWORD thread = GetWindowThreadProcessId(dialog, NULL);
    if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus)
        target = gui.hwndFocus;
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

bool TypeKeys(const std::string &keys)
{
    std::string channel = Env("SETUP_KEY_CHANNEL");
    if (channel.empty())
        return false;
    std::wstring request = Wide(channel + "\\request"), done = Wide(channel + "\\done");
    std::wstring temp = request + L".tmp";
    DeleteFileW(done.c_str());
    FILE *f = _wfopen(temp.c_str(), L"wb");
    if (!f)
        return false;
    fputs(keys.c_str(), f);
    fclose(f);
    /* Renamed into place, so the typist never reads half a request. */
    if (!MoveFileExW(temp.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20))
    {
        FILE *answer = _wfopen(done.c_str(), L"rb");
        if (!answer)
            continue;
        char text[16] = "";
        fgets(text, sizeof(text), answer);
        fclose(answer);
        DeleteFileW(done.c_str());
        return strncmp(text, "ok", 2) == 0;
    }
    return false;
}

int FocusedControlId(HWND window)
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &gui) || !gui.hwndFocus)
        return 0;
    return GetDlgCtrlID(gui.hwndFocus);
}

bool SelectListItem(HWND dialog, int listId, int index)
{
    HWND list = GetDlgItem(dialog, listId);
    if (!list)
        return false;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(list, LB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 2000, &result);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), (LPARAM)list);
    return (int)result == index;
}

std::vector<std::string> ListItems(HWND dialog, int listId)
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(dialog, listId);
    if (!list)
        return items;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (int i = 0; i < (int)count; i++)
    {
        DWORD_PTR len = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &len);
        std::wstring text(len + 1, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)&text[0], SMTO_ABORTIFHUNG, 2000, &got);
        text.resize(got);
        items.push_back(Utf8(text));
    }
    return items;
}

/* An icon drawn at 32 x 32 on a background colour. */
static bool RenderIcon(HICON icon, COLORREF background, std::vector<uint32_t> &out)
{
    pixels::Canvas canvas(32, 32);
    if (!canvas.Ok())
        return false;
    RECT rc = {0, 0, 32, 32};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(canvas.Dc(), &rc, brush);
    DeleteObject(brush);
    bool ok = DrawIconEx(canvas.Dc(), 0, 0, icon, 32, 32, 0, NULL, DI_NORMAL) != 0;
    out = canvas.Pixels();
    return ok;
}

/* The 32 x 32 pixels at the top left of a window's client area, as the
 * screen shows them. */
static bool CapturePixels(HWND hwnd, std::vector<uint32_t> &out)
{
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    pixels::Canvas canvas(32, 32);
    if (!canvas.Ok())
        return false;
    HDC screen = GetDC(NULL);
    bool ok = BitBlt(canvas.Dc(), 0, 0, 32, 32, screen, origin.x, origin.y, SRCCOPY) != 0;
    ReleaseDC(NULL, screen);
    out = canvas.Pixels();
    return ok;
}

bool StaticShowsSystemIcon(HWND iconStatic, int systemIconId)
{
    if (!iconStatic || !IsWindowVisible(iconStatic))
        return false;
    /* Wine keeps an icon's pixels in the process that loaded it, so the
     * program's handle cannot be drawn here; compare what the screen shows
     * with the system icon drawn on the dialog's face colour instead. */
    std::vector<uint32_t> shown, expected;
    for (int attempt = 0; attempt < 20; attempt++)
    {
        if (CapturePixels(iconStatic, shown) &&
            RenderIcon(LoadIconW(NULL, MAKEINTRESOURCEW(systemIconId)), GetSysColor(COLOR_BTNFACE),
                       expected))
        {
            if (shown == expected)
                return true;
        }
        Sleep(100);
    }
    return false;
}

static BOOL CALLBACK FindIconProc(HWND hwnd, LPARAM lParam)
{
    if (ClassOf(hwnd) == L"Static" && (GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
    {
        *(HWND *)lParam = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindIconChild(HWND window)
{
    HWND found = NULL;
    EnumChildWindows(window, FindIconProc, (LPARAM)&found);
    return found;
}

static BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lParam)
{
    LONG type = GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK;
    if (ClassOf(hwnd) == L"Static" && type != SS_ICON && type != SS_BITMAP)
        ((std::vector<std::string> *)lParam)->push_back(TextUtf8(hwnd));
    return TRUE;
}

std::vector<std::string> StaticTexts(HWND window)
{
    std::vector<std::string> texts;
    EnumChildWindows(window, CollectStaticText, (LPARAM)&texts);
    return texts;
}

std::string ReadWholeFile(const std::string &path)
{
    std::string data;
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        data.append(chunk, got);
    CloseHandle(file);
    return data;
}

bool WriteWholeFile(const std::string &path, const std::string &data)
{
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, data.data(), (DWORD)data.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == data.size();
}

bool LoadLikeWindows(const std::string &exeName, const std::vector<std::string> &dlls)
{
    std::wstring path = L"Software\\Wine\\AppDefaults\\" + Wide(exeName) + L"\\DllOverrides";
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    const wchar_t order[] = L"native,builtin";
    for (const std::string &dll : dlls)
        ok = ok && RegSetValueExW(key, Wide(dll).c_str(), 0, REG_SZ, (const BYTE *)order,
                                  sizeof(order)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool SaveScreenshot(const std::string &path, HWND window)
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window)
        GetWindowRect(window, &area);
    int w = area.right - area.left, h = area.bottom - area.top;
    pixels::Canvas canvas(w, h);
    if (w <= 0 || h <= 0 || !canvas.Ok())
        return false;
    HDC screen = GetDC(NULL);
    BitBlt(canvas.Dc(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(NULL, screen);
    std::vector<uint32_t> pixels = canvas.Pixels();

    /* A 24-bit bottom-up file, which every viewer and converter reads. */
    DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
    std::vector<BYTE> rows(stride * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
        {
            DWORD px = pixels[(size_t)y * w + x];
            BYTE *out = &rows[(size_t)(h - 1 - y) * stride + x * 3];
            out[0] = (BYTE)px;
            out[1] = (BYTE)(px >> 8);
            out[2] = (BYTE)(px >> 16);
        }
    BITMAPINFOHEADER bh = {};
    bh.biSize = sizeof(bh);
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = 24;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bh);
    fh.bfSize = fh.bfOffBits + (DWORD)rows.size();
    FILE *f = _wfopen(Wide(path).c_str(), L"wb");
    if (!f)
        return false;
    bool ok = fwrite(&fh, sizeof(fh), 1, f) == 1 && fwrite(&bh, sizeof(bh), 1, f) == 1 &&
              fwrite(rows.data(), rows.size(), 1, f) == 1;
    fclose(f);
    return ok;
}

std::string DefaultPrinterEntry()
{
    char device[1024] = "";
    GetProfileStringA("windows", "device", "", device, sizeof(device));
    return device;
}

bool AddPrinterOf(const std::string &name, const char *port, const char *dataFile)
{
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = (LPSTR)name.c_str();
    driver.pEnvironment = (LPSTR) "Windows NT x86";
    driver.pDriverPath = (LPSTR) "UNIDRV.DLL";
    driver.pDataFile = (LPSTR)dataFile;
    driver.pConfigFile = (LPSTR) "UNIDRVUI.DLL";
    driver.pHelpFile = (LPSTR) "UNIDRV.HLP";
    driver.pDefaultDataType = (LPSTR) "RAW";
    if (!AddPrinterDriverA(NULL, 3, (LPBYTE)&driver))
        return false;
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = (LPSTR)name.c_str();
    printer.pPortName = (LPSTR)port;
    printer.pDriverName = (LPSTR)name.c_str();
    printer.pPrintProcessor = (LPSTR) "WinPrint";
    printer.pDatatype = (LPSTR) "RAW";
    HANDLE added = AddPrinterA(NULL, 2, (LPBYTE)&printer);
    if (added == NULL)
        return false;
    ClosePrinter(added);
    return true;
}

bool CopyPackage(const std::string &from, const std::string &to, const std::string &leaveOut)
{
    CreateDirectoryA(to.c_str(), NULL);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do
    {
        std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != leaveOut)
            ok = ok && CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return ok;
}

} // namespace e2e
