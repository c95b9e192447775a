/*
 * A small Win32 driver for the end-to-end tests and the demo: it starts a
 * deliverable in the same Wine prefix, finds its windows, reads their texts
 * as UTF-16 and operates their controls the way a person would (button
 * clicks, list selections).  Everything works across processes through
 * window messages; nothing here links against the program's code.
 */
#ifndef SETUP_E2E_DRIVER_H
#define SETUP_E2E_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e
{

std::string Utf8(const std::wstring &text);
std::wstring Wide(const std::string &utf8);

/* The value of an environment variable, or "" when it is not set. */
std::string Env(const char *name);

/* Sets the Windows version that processes started afterwards see
 * ("win2k", "winxp", "vista", "win7", "win2003", "win8", "nt40"). */
bool SetWindowsVersion(const char *version);

/* Copies the package folder's files into `to`, but `leaveOut`. */
bool CopyPackage(const std::string &from, const std::string &to, const std::string &leaveOut);

struct Process
{
    PROCESS_INFORMATION info = {};
    bool Start(const std::string &exePath, const std::string &workDir);
    /* Waits for the exit; false on time-out.  *exitCode gets the code. */
    bool WaitExit(DWORD timeoutMs, DWORD *exitCode);
    void Kill();
    /* Kills the program if it still runs and lets its handles go. */
    void Close();
    DWORD Id() const
    {
        return info.dwProcessId;
    }
    ~Process();
};

/* The deliverable under test, from the environment the test runner sets:
 * SETUP_PROGRAM (Windows path of the .exe), SETUP_LANG ("en" or "ko"),
 * SETUP_MODEL ("M270" or "M470"), SETUP_SYSTEMS ("win7" or "vista"). */
struct Deliverable
{
    std::string program, folder, lang, model, systems;
    bool Load();
    bool Korean() const
    {
        return lang == "ko";
    }
    std::string ClassName() const; /* "QXV_M270_Driver_Setup" */
};

std::wstring ClassOf(HWND hwnd);
std::string TextUtf8(HWND hwnd);
std::string ControlText(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);

/* Top-level windows of a process, in z-order. */
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly);

/* Polls every 50 ms until `done` holds (true) or the time-out passes. */
bool WaitUntil(DWORD timeoutMs, const std::function<bool()> &done);
/* Polls until pred finds a window among the process's top-level
 * windows, or the time-out passes (then returns NULL). */
HWND WaitForWindow(DWORD processId, DWORD timeoutMs, const std::function<bool(HWND)> &pred);
/* Process::WaitExit that counts the windows shown meanwhile (visible ones
 * and main windows, hidden or not) and handles the test's own messages. */
bool WaitExitCountingWindows(Process &p, DWORD timeoutMs, DWORD *exitCode, int *windowsSeen);
/* A visible top-level window of the process whose caption is `caption`. */
HWND WaitForCaption(DWORD processId, const std::string &caption, DWORD timeoutMs);
/* Waits until the window is gone or hidden. */
bool WaitGone(HWND hwnd, DWORD timeoutMs);

/* Clicks a button the way the mouse would (BM_CLICK), without waiting for
 * what the click opens. */
bool Click(HWND dialog, int id);
/* Sends a key to the window's focus the way the keyboard would. */
void PressKey(HWND dialog, WORD vk);
/* Types keys ("Tab alt+n", xdotool's names) as real X key events through
 * scripts/x-keys.sh's channel (SETUP_KEY_CHANNEL); false when it cannot. */
bool TypeKeys(const std::string &keys);
/* The control that has the keyboard focus in the window's thread (NULL),
 * and its id (0). */
HWND FocusedControl(HWND window);
int FocusedControlId(HWND window);

/* Selects a list item and notifies the owner, as a click on it does. */
bool SelectListItem(HWND dialog, int listId, int index);
std::vector<std::string> ListItems(HWND dialog, int listId);

/* True when the icon shown by an SS_ICON static draws the same pixels as the
 * system icon of that id (32513 for IDI_HAND, ...). */
bool StaticShowsSystemIcon(HWND iconStatic, int systemIconId);
/* The first SS_ICON child of a window, or NULL. */
HWND FindIconChild(HWND window);
/* The texts of a window's static children, in z-order. */
std::vector<std::string> StaticTexts(HWND window);

/* A file's bytes, or "(missing)" when it cannot be opened. */
std::string ReadWholeFile(const std::string &path);
bool WriteWholeFile(const std::string &path, const std::string &data);

/* Saves the screen, or the part a window covers, as a 24-bit BMP file. */
bool SaveScreenshot(const std::string &path, HWND window = NULL);

/* The user's default printer entry ("windows" section, "device" key). */
std::string DefaultPrinterEntry();
/* Registers an x86 driver on the universal printer driver and a printer of
 * that name on the port, as an earlier install would; false when refused. */
bool AddPrinterOf(const std::string &name, const char *port, const char *dataFile);

/* Makes Wine load these DLLs for later runs of that program as Windows does,
 * a copy beside the program first ("native,builtin"). */
bool LoadLikeWindows(const std::string &exeName, const std::vector<std::string> &dlls);

} // namespace e2e

#endif
