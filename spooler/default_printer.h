/*
 * Making a printer the user's default.
 */
#ifndef SETUP_DEFAULT_PRINTER_H
#define SETUP_DEFAULT_PRINTER_H

/* <winspool.h> (which <windows.h> brings) defines a SetDefaultPrinter macro
 * that would rename this function to winspool's SetDefaultPrinterA.
 * Including it here first and dropping the macro keeps every caller on this
 * one; its include guard stops a later include from defining it again. */
#include <windows.h>
#include <winspool.h>
#undef SetDefaultPrinter

/* 1 on success, 0 on failure (the profile is then left unchanged). */
int SetDefaultPrinter(const char *name);

#endif
