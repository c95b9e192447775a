/*
 * Start-up and platform check, and the accessors for the profile constants
 * that other subsystems use.
 */
#ifndef SETUP_STARTUP_H
#define SETUP_STARTUP_H

#include <windows.h>

/* 1 when the running system is supported (driverVersion and osIndex set),
 * else 0. */
int DetectSupportedSystem(void);
void SetOsIndex(WORD index);

const char *GetMakerName(void);
const char *GetWindowTitle(void);
const char *GetCopyrightNotice(void);
const char *GetEmptyString(void);

#endif
