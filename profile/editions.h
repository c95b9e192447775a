/*
 * Building blocks of the supported-systems texts: a heading line, one line
 * per edition (each begins with a tab), an empty line and a closing sentence.
 * The edition lines are the same in both languages.
 */
#ifndef SETUP_EDITIONS_H
#define SETUP_EDITIONS_H

#define EDITIONS_WIN7_X86                                                                          \
    "\tWindows 7 Home x86\r\n"                                                                     \
    "\tWindows 7 Professional x86\r\n"                                                             \
    "\tWindows 7 Ultimate x86\r\n"
#define EDITIONS_WIN7_X64                                                                          \
    "\tWindows 7 Home x64\r\n"                                                                     \
    "\tWindows 7 Professional x64\r\n"                                                             \
    "\tWindows 7 Ultimate x64\r\n"
#define EDITIONS_VISTA_X86                                                                         \
    "\tWindows Vista Home Basic x86\r\n"                                                           \
    "\tWindows Vista Home Premium x86\r\n"                                                         \
    "\tWindows Vista Enterprise x86\r\n"                                                           \
    "\tWindows Vista Business x86\r\n"                                                             \
    "\tWindows Vista Ultimate x86\r\n"                                                             \
    "\tWindows Vista Starter x86\r\n"
#define EDITIONS_VISTA_X64                                                                         \
    "\tWindows Vista Business x64\r\n"                                                             \
    "\tWindows Vista Home Premium x64\r\n"                                                         \
    "\tWindows Vista Home Basic x64\r\n"                                                           \
    "\tWindows Vista Ultimate x64\r\n"                                                             \
    "\tWindows Vista Enterprise x64\r\n"
#define EDITIONS_WIN2000                                                                           \
    "\tWindows 2000 Workstation (x86)\r\n"                                                         \
    "\tWindows 2000 Server (x86)\r\n"                                                              \
    "\tWindows 2000 Advanced Server (x86)\r\n"
#define EDITIONS_WINXP                                                                             \
    "\tWindows XP Home (x86)\r\n"                                                                  \
    "\tWindows XP Professional (x86)\r\n"                                                          \
    "\tWindows .NET Server (x86)\r\n"

/* heading, editions, empty line, closing sentence without a line end */
#define SUPPORTED_TEXT(heading, editions, closing) heading "\r\n" editions "\r\n" closing

#endif
