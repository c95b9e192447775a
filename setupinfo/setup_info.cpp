/*
 * Setup information reader: the platform side.  Reads the file with
 * GetPrivateProfileStringA and leaves the text work to inf_text.cpp.
 */
#include "setup_info.h"

#include <string.h>
#include <strsafe.h>

#include "inf_text.h"
#include "../copy/copy_logic.h"
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

const char *GetPackageFolder(void)
{
    if (g_state.packageFolder[0] == '\0')
        GetModuleFolder(g_state.packageFolder);
    return g_state.packageFolder;
}

const char *GetManufacturerSection(void)
{
    const OsRow *row = GetOsRow(g_state.osIndex);
    return row ? row->manufacturerSection : kEmptyString;
}

/* One value; the default when the file, the section or the key is unnamed.
 * A null section would make the platform list the section names instead.
 * 0 when the value filled the buffer: the platform cuts a longer value to
 * fit without saying so, and a cut value names something else. */
static int ReadInfValue(const char *section, const char *key, const char *fallback, char *out,
                        DWORD size)
{
    const char *path = GetSetupInfoPath();
    if (!section || !key || section[0] == '\0' || key[0] == '\0' || path[0] == '\0')
    {
        (void)StringCchCopyA(out, size, fallback);
        return 1;
    }
    DWORD length = GetPrivateProfileStringA(section, key, fallback, out, size, path);
    return length + 1 < size;
}

/* The key names of the manufacturer section, closed by two NULs, and the
 * length the platform answers: size - 2 when it had to cut the last name
 * to fit. */
static DWORD ReadModelKeys(char *list, DWORD size)
{
    ZeroMemory(list, size);
    const char *path = GetSetupInfoPath();
    const char *section = GetManufacturerSection();
    if (path[0] == '\0' || section[0] == '\0')
        return 0;
    return GetPrivateProfileStringA(section, NULL, kEmptyString, list, size, path);
}

WORD CountModels(void)
{
    char list[KEY_LIST_COUNT_SIZE];
    ReadModelKeys(list, sizeof(list));
    return (WORD)CountKeyNames(list, sizeof(list));
}

/* Characters of an ANSI text in the running system's code page; the
 * spooler counts a printer name's length in them. */
static size_t CharacterCount(const char *text)
{
    int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    return wide > 0 ? (size_t)(wide - 1) : 0;
}

void GetModelName(WORD index, char *out)
{
    char list[KEY_LIST_NAME_SIZE];
    DWORD length = ReadModelKeys(list, sizeof(list));
    const char *name = NthKeyName(list, sizeof(list), index);
    if (!name)
        return;
    out[0] = '\0';
    /* The last name of a list cut to fit is the front part of another. */
    if (length + 2 >= sizeof(list) && name + strlen(name) == list + length)
        return;
    StripEnclosingQuotes(name, out, SETUP_TEXT_MAX);
    /* The name becomes a printer's name, opened and deleted with the
     * administrator's rights: "\\host\p" would reach another machine. */
    if (!IsUsableModelName(out, CharacterCount(out)))
        out[0] = '\0';
}

/* The model's value in the manufacturer section; empty when the quoted
 * key would not fit its buffer.  0 when the value was cut to fit. */
static int ReadModelValue(const char *modelName, char *out, DWORD size)
{
    if (!BuildQuotedKey(modelName, g_state.quotedKey, sizeof(g_state.quotedKey)))
    {
        out[0] = '\0';
        return 1;
    }
    return ReadInfValue(GetManufacturerSection(), g_state.quotedKey, kEmptyString, out, size);
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

/* 1 when every name of the list is a plain file name: no path, no drive,
 * no device (LPT1 would send the file to the port, COM1 as a source can
 * hang the program). */
static int AllPlainFileNames(const char *list, size_t size, DWORD count)
{
    for (DWORD i = 0; i < count; ++i)
    {
        const char *name = NthKeyName(list, size, i);
        if (name == NULL || !IsBareFileName(name))
            return 0;
    }
    return 1;
}

int ReadModelData(void)
{
    char value[SETUP_TEXT_MAX];
    char copyFiles[SETUP_TEXT_MAX];
    char dataSection[SETUP_TEXT_MAX];
    /* Every value is read whatever an earlier one gave, as before; a cut
     * one refuses the whole model rather than installing half of it. */
    int whole = ReadModelValue(g_state.modelName, value, sizeof(value));
    const char *installSection = SplitCommaToken(value, 0);
    whole &=
        ReadInfValue(installSection, kKeyCopyFiles, kEmptyString, copyFiles, sizeof(copyFiles));
    whole &= ReadInfValue(installSection, kKeyDataSection, kEmptyString, dataSection,
                          sizeof(dataSection));
    /* A value that did not fill its buffer always fits the list whole:
     * names, their NULs and the closing one take its length + 2 bytes. */
    g_state.fileCount =
        BuildDependentFileList(copyFiles, g_state.dependentFiles, sizeof(g_state.dependentFiles));
    ReadDriverDirectory();
    whole &= ReadInfValue(dataSection, kKeyDefaultDataType, kDefaultDataType,
                          g_state.defaultDataType, sizeof(g_state.defaultDataType));
    g_state.modelDataRefused =
        !whole || !AllPlainFileNames(g_state.dependentFiles, sizeof(g_state.dependentFiles),
                                     g_state.fileCount);
    if (g_state.modelDataRefused)
    {
        ZeroMemory(g_state.dependentFiles, sizeof(g_state.dependentFiles));
        g_state.fileCount = 0;
    }
    return 1;
}

const char *GetHardwareId(const char *modelName)
{
    if (!ReadModelValue(modelName, g_state.hardwareIdBuffer, sizeof(g_state.hardwareIdBuffer)))
        return NULL;
    return SplitCommaToken(g_state.hardwareIdBuffer, 1);
}
