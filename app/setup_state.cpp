/*
 * The process-wide setup record, zeroed by static initialisation.
 */
#include "setup_state.h"

SetupState g_state;
