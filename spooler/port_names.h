/*
 * The spooler's port list, by count and by name at an index: the name
 * source of the port page's icon list.  Every call fetches the list afresh
 * through g_spooler and frees it again.
 */
#ifndef SETUP_PORT_NAMES_H
#define SETUP_PORT_NAMES_H

#include <windows.h>

/* The number of ports the spooler lists (level 1), 0 on any failure. */
WORD CountPorts(void);

/* Copies the name of the port at `index` into `out` (SETUP_TEXT_MAX bytes,
 * cut to fit); leaves `out` unchanged when the list cannot be fetched or
 * has no port at that index. */
void GetPortName(WORD index, char *out);

#endif
