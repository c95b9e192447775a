/*
 * Making a printer the user's default.
 */
#ifndef SETUP_DEFAULT_PRINTER_H
#define SETUP_DEFAULT_PRINTER_H

#include <windows.h>

/* 1 on success, 0 on failure (the profile is then left unchanged). */
int MakePrinterDefault(const char *name);

#endif
