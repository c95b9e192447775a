/*
 * The setup information reader: locates the setup information file beside
 * the program and answers every question the wizard asks of it (the model
 * list, the chosen model's files and data type, its hardware identifier).
 * It reads through the platform's private-profile reader, one value or one
 * key list per call; only the file's path is kept between calls.  A missing
 * file, section or key reads as empty (the data type as "RAW").
 */
#ifndef SETUP_SETUP_INFO_H
#define SETUP_SETUP_INFO_H

#include <windows.h>

/* The running program's folder with a trailing backslash, into a buffer of
 * SETUP_TEXT_MAX bytes; ".\" when the module name cannot be had. */
void GetModuleFolder(char *buffer);

/* g_state.infPath, computed on first use from the module folder and the
 * running system's setup information file name. */
const char *GetSetupInfoPath(void);

/* g_state.packageFolder, the module folder, computed on first use: the
 * folder the driver files are read from. */
const char *GetPackageFolder(void);

/* The manufacturer section of the running system's row. */
const char *GetManufacturerSection(void);

/* Number of model keys in the manufacturer section. */
WORD CountModels(void);

/* The model name at `index`, without its enclosing quotes, into `out`
 * (SETUP_TEXT_MAX bytes); `out` is left unchanged past the list's end.  A
 * name the spooler could not take as a local printer's name, or one the
 * platform cut to fit the key list, is not given: `out` is then empty. */
void GetModelName(WORD index, char *out);

/* Fills dependentFiles, fileCount, driverDirectory and defaultDataType for
 * g_state.modelName; returns 1.  When a value it reads fills its buffer
 * (the platform cuts it without saying so) or a CopyFiles name is no plain
 * file name, the model's data is refused: modelDataRefused is set and the
 * file list left empty, and the copy then copies nothing. */
int ReadModelData(void);

/* The model's hardware identifier: the second comma token of its value,
 * read into g_state.hardwareIdBuffer (the result points into it).  A null
 * pointer when the value has no second token, was cut to fit the buffer, or
 * the model's quoted key does not fit. */
const char *GetHardwareId(const char *modelName);

#endif
