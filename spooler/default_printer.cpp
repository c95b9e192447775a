/*
 * Stand-in until the default printer is written.
 */
#include "default_printer.h"

int SetDefaultPrinter(const char *)
{
    return 0;
}
