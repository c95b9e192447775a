/*
 * Selects the running build's profile.  SETUP_PROFILE is defined by the build
 * (for example g_profile_M270_en_win7).
 */
#include "build_profile.h"

const BuildProfile &g_profile = SETUP_PROFILE;
