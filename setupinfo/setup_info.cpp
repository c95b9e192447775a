/*
 * Setup information reader: the platform side.  Reads the file with
 * GetPrivateProfileStringA and leaves the text work to inf_text.cpp.
 */
#include "setup_info.h"

#include <strsafe.h>

#include "inf_text.h"
#include "../app/os_table.h"
#include "../app/setup_state.h"
#include "../profile/common_texts.h"
#include "../spooler/spooler_api.h"

/* Bytes of the key list CountModels reads; GetModelName reads twice as
 * many, so a count taken from a cut list never exceeds the names found. */
#define KEY_LIST_COUNT_SIZE 1024
#define KEY_LIST_NAME_SIZE 2048

void GetModuleFolder(char *buffer)
{
    DWORD len = GetModuleFileNameA(g_state.instance, buffer, SETUP_TEXT_MAX);
    /* Windows XP leaves a name cut at the buffer's end without its NUL. */
    if (len >= SETUP_TEXT_MAX)
        len = SETUP_TEXT_MAX - 1;
    buffer[len] = '\0';
    CutToFolder(buffer, SETUP_TEXT_MAX);
}

const char *GetSetupInfoPath(void)
{
    if (g_state.infPath[0] != '\0')
        return g_state.infPath;
    const OsRow *row = GetOsRow(g_state.osIndex);
    if (!row)
        return g_state.infPath;
    char folder[SETUP_TEXT_MAX];
    GetModuleFolder(folder);
    /* A path that would be cut names another file: keep none instead. */
    if (FAILED(StringCchPrintfA(g_state.infPath, SETUP_TEXT_MAX, "%s%s", folder, row->infFileName)))
        g_state.infPath[0] = '\0';
    return g_state.infPath;
}

const char *GetManufacturerSection(void)
{
    const OsRow *row = GetOsRow(g_state.osIndex);
    return row ? row->manufacturerSection : kEmptyString;
}

/* One value; the default when the file, the section or the key is unnamed.
 * A null section would make the platform list the section names instead. */
static void ReadInfValue(const char *section, const char *key, const char *fallback, char *out,
                         DWORD size)
{
    const char *path = GetSetupInfoPath();
    if (!section || !key || section[0] == '\0' || key[0] == '\0' || path[0] == '\0')
    {
        (void)StringCchCopyA(out, size, fallback);
        return;
    }
    GetPrivateProfileStringA(section, key, fallback, out, size, path);
}

/* The key names of the manufacturer section, cut by the platform to fit
 * and closed by two NULs. */
static void ReadModelKeys(char *list, DWORD size)
{
    ZeroMemory(list, size);
    const char *path = GetSetupInfoPath();
    const char *section = GetManufacturerSection();
    if (path[0] == '\0' || section[0] == '\0')
        return;
    GetPrivateProfileStringA(section, NULL, kEmptyString, list, size, path);
}

WORD CountModels(void)
{
    char list[KEY_LIST_COUNT_SIZE];
    ReadModelKeys(list, sizeof(list));
    return (WORD)CountKeyNames(list, sizeof(list));
}

void GetModelName(WORD index, char *out)
{
    char list[KEY_LIST_NAME_SIZE];
    ReadModelKeys(list, sizeof(list));
    const char *name = NthKeyName(list, sizeof(list), index);
    if (!name)
        return;
    StripEnclosingQuotes(name, out, SETUP_TEXT_MAX);
}

/* The model's value in the manufacturer section; empty when the quoted
 * key would not fit its buffer. */
static void ReadModelValue(const char *modelName, char *out, DWORD size)
{
    if (!BuildQuotedKey(modelName, g_state.quotedKey, sizeof(g_state.quotedKey)))
    {
        out[0] = '\0';
        return;
    }
    ReadInfValue(GetManufacturerSection(), g_state.quotedKey, kEmptyString, out, size);
}

/* The spooler's driver directory with a trailing backslash, or empty when
 * the spooler gives none.  One byte is held back for the backslash. */
static void ReadDriverDirectory(void)
{
    char *dir = g_state.driverDirectory;
    ZeroMemory(dir, SETUP_TEXT_MAX);
    DWORD needed = 0;
    if (!g_spooler->getPrinterDriverDirectory(NULL, NULL, 1, (LPBYTE)dir, SETUP_TEXT_MAX - 1,
                                              &needed))
    {
        dir[0] = '\0';
        return;
    }
    dir[SETUP_TEXT_MAX - 2] = '\0';
    if (!AppendBackslash(dir, SETUP_TEXT_MAX))
        dir[0] = '\0';
}

int ReadModelData(void)
{
    char value[SETUP_TEXT_MAX];
    char copyFiles[SETUP_TEXT_MAX];
    char dataSection[SETUP_TEXT_MAX];
    ReadModelValue(g_state.modelName, value, sizeof(value));
    const char *installSection = SplitCommaToken(value, 0);
    ReadInfValue(installSection, kKeyCopyFiles, kEmptyString, copyFiles, sizeof(copyFiles));
    ReadInfValue(installSection, kKeyDataSection, kEmptyString, dataSection, sizeof(dataSection));
    g_state.fileCount =
        BuildDependentFileList(copyFiles, g_state.dependentFiles, sizeof(g_state.dependentFiles));
    ReadDriverDirectory();
    ReadInfValue(dataSection, kKeyDefaultDataType, kDefaultDataType, g_state.defaultDataType,
                 sizeof(g_state.defaultDataType));
    return 1;
}

const char *GetHardwareId(const char *modelName)
{
    ReadModelValue(modelName, g_state.hardwareIdBuffer, sizeof(g_state.hardwareIdBuffer));
    return SplitCommaToken(g_state.hardwareIdBuffer, 1);
}
