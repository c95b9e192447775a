/*
 * The plain decisions behind the message dialog, the status window and the
 * pages: which template and which system icon a message type selects, where
 * a centred window goes, and which supported-systems text the welcome page
 * shows.  Platform-free: no <windows.h>, so the unit tests build it natively.
 */
#ifndef SETUP_UI_LOGIC_H
#define SETUP_UI_LOGIC_H

#include <stdint.h>

struct BuildProfile;

/* Template name for a message type, chosen by its low four bits:
 * 1 "IDD_MSG_OKCANCEL", 3 "IDD_MSG_YESNOCANCEL", 4 "IDD_MSG_YESNO",
 * 5 "IDD_MSG_RETRYCANCEL", every other value "IDD_MSG_OK". */
const char *MessageTemplateForType(uint32_t type);

/* System icon (IDI_SYSTEM_* of profile/resource.h) for a message type,
 * chosen by bits 4-7: 0x10 hand, 0x20 question, 0x30 exclamation, 0x40
 * asterisk, every other value the application icon. */
int MessageIconForType(uint32_t type);

/* A screen rectangle; right and bottom are exclusive, as the platform's. */
struct UiRect
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

/* Top-left corner that centres `window` over `parent`.  The halves are
 * taken with signed division truncating toward zero, so a window larger
 * than its parent gets a negative offset and overhangs it equally. */
void CenteredOrigin(const UiRect &parent, const UiRect &window, int32_t *x, int32_t *y);

/* The welcome page's supported-systems text for a driver environment: the
 * profile's first text for "Windows NT x86", its second for "Windows x64",
 * a null pointer (keep the template's text) for anything else. */
const char *WelcomeTextForEnvironment(const BuildProfile &profile, const char *environment);

#endif
