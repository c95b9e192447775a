/*
 * Message-type tables, centring arithmetic and the welcome text choice.
 * Platform-free.
 */
#include "ui_logic.h"

#include <string.h>

#include "../profile/build_profile.h"
#include "../profile/common_texts.h"
#include "../profile/resource.h"

const char *MessageTemplateForType(uint32_t type)
{
    switch (type & 0x0F)
    {
    case 1:
        return "IDD_MSG_OKCANCEL";
    case 3:
        return "IDD_MSG_YESNOCANCEL";
    case 4:
        return "IDD_MSG_YESNO";
    case 5:
        return "IDD_MSG_RETRYCANCEL";
    default:
        return "IDD_MSG_OK";
    }
}

int MessageIconForType(uint32_t type)
{
    switch (type & 0xF0)
    {
    case 0x10:
        return IDI_SYSTEM_HAND;
    case 0x20:
        return IDI_SYSTEM_QUESTION;
    case 0x30:
        return IDI_SYSTEM_EXCLAMATION;
    case 0x40:
        return IDI_SYSTEM_ASTERISK;
    default:
        return IDI_SYSTEM_APPLICATION;
    }
}

/* One axis.  Worked in 64 bits so that no pair of 32-bit coordinates can
 * overflow; the result is back inside the 32-bit range whenever both spans
 * are. */
static int32_t CenteredStart(int32_t parentStart, int32_t parentEnd, int32_t start, int32_t end)
{
    int64_t parentSpan = (int64_t)parentEnd - parentStart;
    int64_t span = (int64_t)end - start;
    /* C++ division truncates toward zero: (-3) / 2 is -1, not -2. */
    int64_t origin = parentStart + (parentSpan - span) / 2;
    if (origin > INT32_MAX)
        return INT32_MAX;
    if (origin < INT32_MIN)
        return INT32_MIN;
    return (int32_t)origin;
}

void CenteredOrigin(const UiRect &parent, const UiRect &window, int32_t *x, int32_t *y)
{
    *x = CenteredStart(parent.left, parent.right, window.left, window.right);
    *y = CenteredStart(parent.top, parent.bottom, window.top, window.bottom);
}

const char *WelcomeTextForEnvironment(const BuildProfile &profile, const char *environment)
{
    if (environment == nullptr)
        return nullptr;
    if (strcmp(environment, kEnvironmentX86) == 0)
        return profile.welcomeTexts[0];
    if (strcmp(environment, kEnvironmentX64) == 0)
        return profile.welcomeTexts[1];
    return nullptr;
}
