/*
 * Texts are read with the UTF-16 calls, so the Korean builds' texts compare
 * as the user sees them whatever code page the driver itself runs under.
 */
#include "driver.h"

#include "profile/build_profile.h"
#include "tests/win32/support/pixels.h"

#include <stdlib.h>

#include <algorithm>
#include <iterator>

namespace e2e
{

std::string Utf8(const std::wstring &text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, NULL, NULL);
    return out;
}

std::wstring Wide(const std::string &utf8)
{
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

/* Sets each of the names to the string value under the user's key. */
static bool SetUserStrings(const std::wstring &path, const std::vector<std::string> &names,
                           const std::string &value)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    std::wstring v = Wide(value);
    bool ok = true;
    for (const std::string &name : names)
        ok = ok && RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, (const BYTE *)v.c_str(),
                                  (DWORD)((v.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool SetWindowsVersion(const char *version)
{
    return SetUserStrings(L"Software\\Wine", {"Version"}, version);
}

bool Process::Start(const std::string &exePath, const std::string &workDir)
{
    /* A Process may start one program after another. */
    Close();
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    std::wstring cmd = L"\"" + Wide(exePath) + L"\"";
    std::wstring dir = Wide(workDir);
    return CreateProcessW(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL,
                          dir.empty() ? NULL : dir.c_str(), &si, &info) != 0;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD *exitCode)
{
    if (!info.hProcess || WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(info.hProcess, exitCode);
    return true;
}

void Process::Kill()
{
    if (info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT &&
        TerminateProcess(info.hProcess, 99))
        WaitForSingleObject(info.hProcess, 5000);
}

void Process::Close()
{
    Kill();
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
    info = {};
}

Process::~Process()
{
    Close();
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

/* A message to another process's window; the time-out keeps a hung
 * program from hanging the test.  0 when it was not answered. */
static LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR *result)
{
    return SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, 2000, result);
}

/* A window's text (item < 0) or a list item's, by the length message and
 * the text message. */
static std::wstring SentText(HWND hwnd, UINT lengthMsg, UINT textMsg, int item)
{
    DWORD_PTR len = 0, got = 0;
    if (!Send(hwnd, lengthMsg, item < 0 ? 0 : item, 0, &len))
        return std::wstring();
    std::wstring text(len + 1, L'\0');
    Send(hwnd, textMsg, item < 0 ? len + 1 : item, (LPARAM)&text[0], &got);
    text.resize(got);
    return text;
}

static std::wstring TextOf(HWND hwnd)
{
    return SentText(hwnd, WM_GETTEXTLENGTH, WM_GETTEXT, -1);
}

std::string TextUtf8(HWND hwnd)
{
    return Utf8(TextOf(hwnd));
}

std::string ControlText(HWND dialog, int id)
{
    return TextUtf8(GetDlgItem(dialog, id)); /* "" when there is no such control */
}

bool ControlVisible(HWND dialog, int id)
{
    return IsWindowVisible(GetDlgItem(dialog, id)) != 0;
}

static BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam)
{
    ((std::vector<HWND> *)lParam)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly)
{
    std::vector<HWND> all, found;
    EnumWindows(CollectWindow, (LPARAM)&all);
    for (HWND hwnd : all)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == processId && (!visibleOnly || IsWindowVisible(hwnd)))
            found.push_back(hwnd);
    }
    return found;
}

bool WaitUntil(DWORD timeoutMs, const std::function<bool()> &done)
{
    for (DWORD start = GetTickCount();; Sleep(50))
    {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
    }
}

HWND WaitForWindow(DWORD processId, DWORD timeoutMs, const std::function<bool(HWND)> &pred)
{
    HWND found = NULL;
    WaitUntil(timeoutMs,
              [&]
              {
                  for (HWND hwnd : TopLevelWindows(processId, false))
                      if (pred(hwnd))
                          return (found = hwnd) != NULL;
                  return false;
              });
    return found;
}

bool WaitExitCountingWindows(Process &p, DWORD timeoutMs, DWORD *exitCode, int *windowsSeen)
{
    *windowsSeen = 0;
    const char *const *first = std::begin(kSetupWindowClasses);
    const char *const *last = std::end(kSetupWindowClasses);
    DWORD start = GetTickCount();
    for (;;)
    {
        if (p.WaitExit(20, exitCode))
            return true;
        for (HWND hwnd : TopLevelWindows(p.Id(), false))
            if (std::find(first, last, Utf8(ClassOf(hwnd))) != last || IsWindowVisible(hwnd))
                ++*windowsSeen;
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

bool WaitGone(HWND hwnd, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
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
    HWND focus = FocusedControl(dialog), target = focus ? focus : dialog;
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

bool TypeKeys(const std::string &keys)
{
    std::string channel = Env("SETUP_KEY_CHANNEL");
    if (channel.empty())
        return false;
    std::string request = channel + "\\request", done = channel + "\\done";
    DeleteFileW(Wide(done).c_str());
    /* Renamed into place, so the typist never reads half a request. */
    if (!WriteWholeFile(request + ".tmp", keys) ||
        !MoveFileExW(Wide(request + ".tmp").c_str(), Wide(request).c_str(),
                     MOVEFILE_REPLACE_EXISTING))
        return false;
    std::string answer = "(missing)";
    if (!WaitUntil(20000, [&] { return (answer = ReadWholeFile(done)) != "(missing)"; }))
        return false;
    DeleteFileW(Wide(done).c_str());
    return answer.compare(0, 2, "ok") == 0;
}

HWND FocusedControl(HWND window)
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &gui) ? gui.hwndFocus : NULL;
}

int FocusedControlId(HWND window)
{
    HWND focus = FocusedControl(window);
    return focus ? GetDlgCtrlID(focus) : 0;
}

bool SelectListItem(HWND dialog, int listId, int index)
{
    HWND list = GetDlgItem(dialog, listId);
    if (!list)
        return false;
    DWORD_PTR result = 0;
    Send(list, LB_SETCURSEL, index, 0, &result);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), (LPARAM)list);
    return (int)result == index;
}

std::vector<std::string> ListItems(HWND dialog, int listId)
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(dialog, listId);
    DWORD_PTR count = 0; /* stays 0 when there is no such list */
    Send(list, LB_GETCOUNT, 0, 0, &count);
    for (int i = 0; i < (int)count; i++)
        items.push_back(Utf8(SentText(list, LB_GETTEXTLEN, LB_GETTEXT, i)));
    return items;
}

/* The canvas-sized part of the screen at (x, y). */
static bool FromScreen(pixels::Canvas &canvas, int x, int y)
{
    HDC screen = GetDC(NULL);
    bool ok = canvas.Ok() && BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, x,
                                    y, SRCCOPY) != 0;
    ReleaseDC(NULL, screen);
    return ok;
}

bool StaticShowsSystemIcon(HWND iconStatic, int systemIconId)
{
    if (!iconStatic || !IsWindowVisible(iconStatic))
        return false;
    /* Wine keeps an icon's pixels in the process that loaded it, so the
     * program's handle cannot be drawn here; compare what the screen shows
     * with the system icon drawn on the dialog's face colour instead. */
    std::vector<uint32_t> expected = pixels::RenderIcon(
        LoadIconW(NULL, MAKEINTRESOURCEW(systemIconId)), pixels::SysRgb(COLOR_BTNFACE));
    pixels::Canvas shown(32, 32); /* the client area's top left, as the screen shows it */
    for (int attempt = 0; attempt < 20; attempt++, Sleep(100))
    {
        POINT origin = {0, 0};
        ClientToScreen(iconStatic, &origin);
        if (FromScreen(shown, origin.x, origin.y) && shown.Pixels() == expected)
            return true;
    }
    return false;
}

/* The static children with their SS_ types, in z-order. */
static std::vector<std::pair<HWND, LONG>> StaticChildren(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectWindow, (LPARAM)&children);
    std::vector<std::pair<HWND, LONG>> statics;
    for (HWND hwnd : children)
        if (ClassOf(hwnd) == L"Static")
            statics.push_back({hwnd, GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK});
    return statics;
}

HWND FindIconChild(HWND window)
{
    for (const auto &child : StaticChildren(window))
        if (child.second == SS_ICON)
            return child.first;
    return NULL;
}

std::vector<std::string> StaticTexts(HWND window)
{
    std::vector<std::string> texts;
    for (const auto &child : StaticChildren(window))
        if (child.second != SS_ICON && child.second != SS_BITMAP)
            texts.push_back(TextUtf8(child.first));
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
    return SetUserStrings(L"Software\\Wine\\AppDefaults\\" + Wide(exeName) + L"\\DllOverrides",
                          dlls, "native,builtin");
}

bool SaveScreenshot(const std::string &path, HWND window)
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window)
        GetWindowRect(window, &area);
    int w = area.right - area.left, h = area.bottom - area.top;
    pixels::Canvas canvas(w, h);
    if (w <= 0 || h <= 0 || !FromScreen(canvas, area.left, area.top))
        return false;
    std::vector<uint32_t> pixels = canvas.Pixels();

    /* A 24-bit bottom-up file, which every viewer and converter reads. */
    DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
    std::string rows(stride * h, '\0');
    for (int y = 0; y < h; y++) /* 0x00RRGGBB's first three bytes: blue, green, red */
        for (int x = 0; x < w; x++)
            std::copy_n((const char *)&pixels[(size_t)y * w + x], 3,
                        &rows[(size_t)(h - 1 - y) * stride + x * 3]);
    BITMAPINFOHEADER bh = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(bh);
    BITMAPFILEHEADER fh = {0x4D42, offset + (DWORD)rows.size(), 0, 0, offset};
    return WriteWholeFile(path, std::string((const char *)&fh, sizeof(fh)) +
                                    std::string((const char *)&bh, sizeof(bh)) + rows);
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
