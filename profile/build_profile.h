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

/* The main window classes of the builds.  A start finds a running copy of
 * any build by them: all four write the same driver directory. */
inline constexpr char kWindowClassM470[] = "QXV_M470_Driver_Setup";
inline constexpr char kWindowClassM270[] = "QXV_M270_Driver_Setup";
inline constexpr const char *kSetupWindowClasses[] = {kWindowClassM470, kWindowClassM270};

/* The machine-wide guard of a run, one name for every build: a named mutex
 * in the global namespace, so that it spans the sessions of Fast User
 * Switching and Terminal Services too. */
inline constexpr char kRunGuardName[] = "Global\\QXV_Driver_Setup_Running";

extern const BuildProfile g_profile_M470_ko_win7;
extern const BuildProfile g_profile_M270_ko_vista;
extern const BuildProfile g_profile_M270_en_win7;
extern const BuildProfile g_profile_M270_en_vista;

/* The profile of the running build. */
extern const BuildProfile &g_profile;

#endif
