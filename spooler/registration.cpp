/*
 * Stand-in until the spooler operations are written: reports success.
 */
#include "registration.h"

int IsDriverInstalled(const char *)
{
    return 0;
}

void DeletePrinterByName(const char *)
{
}

int RemovePrinterAndDriver(const char *)
{
    return 1;
}

int InstallDriverAndPrinter(void)
{
    return 1;
}
