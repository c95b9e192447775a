/*
 * Making a printer the user's default.
 */
#ifndef SETUP_DEFAULT_PRINTER_H
#define SETUP_DEFAULT_PRINTER_H

/* 1 on success, 0 on failure (the profile is then left unchanged). */
int SetDefaultPrinter(const char *name);

#endif
