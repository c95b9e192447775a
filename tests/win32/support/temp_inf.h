/*
 * Setup information files for the tests that read one: the text written
 * into a folder of the temp folder and made the file the reader reads
 * (g_state.infPath, which the reader computes only when it is empty).
 */
#ifndef SETUP_TEST_TEMP_INF_H
#define SETUP_TEST_TEMP_INF_H

#include <windows.h>

#include <string>

#include "app/setup_state.h"

namespace tempinf
{

/* The temp folder's folder `name` with a trailing backslash, made when
 * missing; empty when there is no temp folder. */
inline std::string Folder(const char *name)
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(temp), temp);
    if (n == 0 || n >= sizeof(temp))
        return std::string();
    std::string folder = std::string(temp) + name + "\\";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

/* Points the reader at `path`. */
inline void Use(const std::string &path)
{
    lstrcpynA(g_state.infPath, path.c_str(), sizeof(g_state.infPath));
}

/* Writes `text` into `path`, whole, and points the reader at it; false
 * when the file cannot be written. */
inline bool Write(const std::string &path, const std::string &text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL);
    CloseHandle(file);
    if (!ok || written != text.size())
        return false;
    Use(path);
    return true;
}

} // namespace tempinf

#endif
