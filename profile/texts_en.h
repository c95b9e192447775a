/*
 * English texts of the build profile, plain ASCII.  The Windows 2000 and XP
 * texts spell their heading with a capital S, as they always have.
 */
#ifndef SETUP_TEXTS_EN_H
#define SETUP_TEXTS_EN_H

#include "editions.h"

#define EN_MAKER_NAME "Tarvik Systems"
/* Short enough for the one line of the final page's notice control. */
#define EN_COPYRIGHT "Copyright (C) 2026 Tarvik Systems Co., Ltd."
#define EN_WINDOW_TITLE "Printer Driver Setup"
#define EN_HEADING "Supported operating system:"
#define EN_HEADING_OLD "Supported operating System:"
#define EN_CLOSING "Terminate all running applications before installing driver."
#define EN_IN_USE_MESSAGE                                                                          \
    "Previous verion driver is currently used by an application.\nTerminate all applications. "    \
    "And then delete previous version driver from printer folderand retry."
#define EN_IN_USE_CAPTION "Setup error"

#define EN_SUPPORTED_TEXTS                                                                         \
    {                                                                                              \
        SUPPORTED_TEXT(EN_HEADING, EDITIONS_WIN7_X86, EN_CLOSING),                                 \
            SUPPORTED_TEXT(EN_HEADING, EDITIONS_WIN7_X64, EN_CLOSING),                             \
            SUPPORTED_TEXT(EN_HEADING, EDITIONS_VISTA_X86, EN_CLOSING),                            \
            SUPPORTED_TEXT(EN_HEADING, EDITIONS_VISTA_X64, EN_CLOSING),                            \
            SUPPORTED_TEXT(EN_HEADING_OLD, EDITIONS_WIN2000, EN_CLOSING),                          \
            SUPPORTED_TEXT(EN_HEADING_OLD, EDITIONS_WINXP, EN_CLOSING)                             \
    }

#endif
