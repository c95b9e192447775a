/*
 * Build profile of M270_ko_vista.
 */
#include "build_profile.h"
#include "texts_ko.h"

const BuildProfile g_profile_M270_ko_vista = {
    /* makerName */ KO_MAKER_NAME,
    /* copyrightNotice */ KO_COPYRIGHT,
    /* windowTitle */ KO_WINDOW_TITLE,
    /* windowClassName */ kWindowClassM270,
    /* infFileName */ "M270.INF",
    /* manufacturerSection */ "TarvikSystems",
    /* dataFileName */ "M270.GPD",
    /* driverDateFile */ "M270.DLL",
    /* supportedSystemsTexts */ KO_SUPPORTED_TEXTS,
    /* welcomeTexts */
    {SUPPORTED_TEXT(KO_HEADING, EDITIONS_VISTA_X86, KO_CLOSING),
     SUPPORTED_TEXT(KO_HEADING, EDITIONS_VISTA_X64, KO_CLOSING)},
    /* inUseMessage */ KO_IN_USE_MESSAGE,
    /* inUseCaption */ KO_IN_USE_CAPTION,
};
