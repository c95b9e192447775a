/*
 * Start-up and platform check, and the accessors for the profile constants
 * that other subsystems use.
 */
#ifndef SETUP_STARTUP_H
#define SETUP_STARTUP_H

#include <windows.h>

/* 1 when the running system is supported (driverVersion and osIndex set),
 * else 0.  A 64-bit Windows of a supported version is refused: the program
 * installs only x86 drivers. */
int DetectSupportedSystem(void);

/* kernel32's IsWow64Process, looked up at run time: Windows 2000 and XP
 * before SP2 lack it, and have no 64-bit edition of their version. */
typedef BOOL(WINAPI *IsWow64ProcessProc)(HANDLE process, PBOOL wow64);

/* 1 when the program runs under WOW64 (a 64-bit Windows), and when
 * `isWow64` fails to tell: an unknown answer must not let it on to the
 * spooler of a system it may not serve.  0 when `isWow64` is NULL or
 * answers FALSE. */
int RunsUnderWow64(IsWow64ProcessProc isWow64);

/* Takes the machine-wide guard that lets one run of any build go at a time,
 * and keeps it until the process ends (the system releases it when a run
 * is killed).  1 when this run holds it now, 0 when another run does. */
int TakeRunGuard(void);

/* Brings the running copy's foremost window (the page, dialog or message it
 * shows now) to the front, when that copy runs in this session and shows
 * one. */
void BringRunningCopyForward(void);

void SetOsIndex(WORD index);

const char *GetMakerName(void);
const char *GetWindowTitle(void);
const char *GetCopyrightNotice(void);
const char *GetEmptyString(void);

#endif
