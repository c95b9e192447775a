/*
 * Build profile of M470_ko_win7.
 */
#include "build_profile.h"
#include "texts_ko.h"

const BuildProfile g_profile_M470_ko_win7 = {
    /* makerName */ KO_MAKER_NAME,
    /* copyrightNotice */ KO_COPYRIGHT,
    /* windowTitle */ KO_WINDOW_TITLE,
    /* windowClassName */ kWindowClassM470,
    /* infFileName */ "M470.INF",
    /* manufacturerSection */ "TarvikSystems",
    /* dataFileName */ "M470.GPD",
    /* driverDateFile */ "M470.DLL",
    /* supportedSystemsTexts */ KO_SUPPORTED_TEXTS,
    /* welcomeTexts */
    {SUPPORTED_TEXT(KO_HEADING, EDITIONS_WIN7_X86, KO_CLOSING),
     SUPPORTED_TEXT(KO_HEADING, EDITIONS_WIN7_X64, KO_CLOSING)},
    /* inUseMessage */ KO_IN_USE_MESSAGE,
    /* inUseCaption */ KO_IN_USE_CAPTION,
};
