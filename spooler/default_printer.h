/*
 * Making a printer the user's default.
 */
#ifndef SETUP_DEFAULT_PRINTER_H
#define SETUP_DEFAULT_PRINTER_H

/* <windows.h> brings <winspool.h>, whose SetDefaultPrinter macro would
 * rename this function to winspool's SetDefaultPrinterA.  Including it here
 * first and dropping the macro keeps every caller on this one. */
#include <windows.h>
#undef SetDefaultPrinter

/* 1 on success, 0 on failure (the profile is then left unchanged). */
int SetDefaultPrinter(const char *name);

#endif
