/*
 * The constants that differ between the four deliverables.  Each build links
 * exactly one profile definition (profile/m*_*.cpp) and selects it as
 * g_profile (profile/active_profile.cpp).  The Korean profiles are compiled
 * with -fexec-charset=CP949, so their texts are code page 949 bytes; the
 * English ones are plain ASCII.  Platform-free: no <windows.h>.
 */
#ifndef SETUP_BUILD_PROFILE_H
#define SETUP_BUILD_PROFILE_H

enum SupportedSystemsText
{
    SST_WIN7_X86,
    SST_WIN7_X64,
    SST_VISTA_X86,
    SST_VISTA_X64,
    SST_WIN2000,
    SST_WINXP,
    SST_COUNT
};

struct BuildProfile
{
    const char *makerName;
    const char *copyrightNotice;
    const char *windowTitle;
    const char *windowClassName;
    const char *infFileName;
    const char *manufacturerSection;
    const char *dataFileName;
    const char *driverDateFile;
    const char *supportedSystemsTexts[SST_COUNT];
    /* The build's pair out of supportedSystemsTexts: x86 first, then x64. */
    const char *welcomeTexts[2];
    const char *inUseMessage;
    const char *inUseCaption;
};

extern const BuildProfile g_profile_M470_ko_win7;
extern const BuildProfile g_profile_M270_ko_vista;
extern const BuildProfile g_profile_M270_en_win7;
extern const BuildProfile g_profile_M270_en_vista;

/* The profile of the running build. */
extern const BuildProfile &g_profile;

#endif
