/*
 * The four built programs, as the Win32 tests read them: their file names
 * in SETUP_BIN_DIR and loading one as a data file to look at its resources;
 * with the run's environment variables and the run's code page, which the
 * tests read them by.
 */
#ifndef SETUP_TEST_BUILT_PROGRAMS_H
#define SETUP_TEST_BUILT_PROGRAMS_H

#include <windows.h>

#include <string>

struct BuiltProgram
{
    const char *file;
    bool korean;
};

extern const BuiltProgram kBuiltPrograms[4];

/* An environment variable of the run, or "" when not set. */
std::string Env(const char *name);

/* SETUP_BIN_DIR\file, or "" when SETUP_BIN_DIR is not set. */
std::string BuiltProgramPath(const char *file);

/* The program loaded as a data file, or NULL (the last error tells why). */
HMODULE LoadBuiltProgram(const char *file);

/* A UTF-8 text of the test sources as UTF-16 ("" when it is not UTF-8), and
 * a UTF-16 text in the run's code page, as the program's texts reach it. */
std::wstring FromUtf8(const char *text);
std::string ToAnsi(const std::wstring &text);

#endif
