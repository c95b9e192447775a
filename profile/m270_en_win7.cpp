/*
 * Build profile of M270_en_win7.
 */
#include "build_profile.h"
#include "texts_en.h"

const BuildProfile g_profile_M270_en_win7 = {
    /* makerName */ EN_MAKER_NAME,
    /* copyrightNotice */ EN_COPYRIGHT,
    /* windowTitle */ EN_WINDOW_TITLE,
    /* windowClassName */ kWindowClassM270,
    /* infFileName */ "M270.INF",
    /* manufacturerSection */ "TarvikSystems",
    /* dataFileName */ "M270.GPD",
    /* driverDateFile */ "M270.DLL",
    /* supportedSystemsTexts */ EN_SUPPORTED_TEXTS,
    /* welcomeTexts */
    {SUPPORTED_TEXT(EN_HEADING, EDITIONS_WIN7_X86, EN_CLOSING),
     SUPPORTED_TEXT(EN_HEADING, EDITIONS_WIN7_X64, EN_CLOSING)},
    /* inUseMessage */ EN_IN_USE_MESSAGE,
    /* inUseCaption */ EN_IN_USE_CAPTION,
};
