/*
 * The four built programs for the Win32 tests (see built_programs.h).
 */
#include "built_programs.h"

const BuiltProgram kBuiltPrograms[4] = {
    {"M470Setup_ko_win7.exe", true},
    {"M270Setup_ko_vista.exe", true},
    {"M270Setup_en_win7.exe", false},
    {"M270Setup_en_vista.exe", false},
};

std::string Env(const char *name)
{
    char value[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
    return n > 0 && n < sizeof(value) ? value : "";
}

std::string BuiltProgramPath(const char *file)
{
    std::string dir = Env("SETUP_BIN_DIR");
    return dir.empty() ? dir : dir + "\\" + file;
}

HMODULE LoadBuiltProgram(const char *file)
{
    std::string path = BuiltProgramPath(file);
    if (path.empty())
    {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return NULL;
    }
    return LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
}

std::wstring FromUtf8(const char *text)
{
    wchar_t buf[2048];
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, buf, 2048);
    return n > 0 ? std::wstring(buf, n - 1) : std::wstring();
}

std::string ToAnsi(const std::wstring &text)
{
    char buf[2048];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buf, sizeof(buf), NULL, NULL);
    return n > 0 ? std::string(buf, n - 1) : std::string();
}
