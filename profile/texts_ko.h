/*
 * Korean texts of the build profile.  Included only by the Korean profile
 * files, which are compiled with -fexec-charset=CP949: the source is UTF-8,
 * the program holds code page 949 bytes.
 */
#ifndef SETUP_TEXTS_KO_H
#define SETUP_TEXTS_KO_H

#include "editions.h"

#define KO_MAKER_NAME "Tarvik시스템"
/* Short enough for the one line of the final page's notice control. */
#define KO_COPYRIGHT "Copyright (C) 2026 Tarvik시스템 주식회사"
#define KO_WINDOW_TITLE "프린터 드라이버 설치"
#define KO_HEADING "사용 가능한 운영체제:"
#define KO_CLOSING "드라이버를 설치하기 전에 사용중인 응용 프로그램을 모두 종료하십시오."
#define KO_IN_USE_MESSAGE                                                                                                            \
    "설치하려는 프린터 드라이버가 이미 설치되어 있으며 현재 다른 응용 프로그램에 의해 "           \
    "사용중이므로 업그레이드가 불가능합니다.\n사용중인 응용 프로그램을 모두 종료하신 후 다시 " \
    "설치해 보십시오."
#define KO_IN_USE_CAPTION "설치 오류"

#define KO_SUPPORTED_TEXTS                                                                         \
    {                                                                                              \
        SUPPORTED_TEXT(KO_HEADING, EDITIONS_WIN7_X86, KO_CLOSING),                                 \
            SUPPORTED_TEXT(KO_HEADING, EDITIONS_WIN7_X64, KO_CLOSING),                             \
            SUPPORTED_TEXT(KO_HEADING, EDITIONS_VISTA_X86, KO_CLOSING),                            \
            SUPPORTED_TEXT(KO_HEADING, EDITIONS_VISTA_X64, KO_CLOSING),                            \
            SUPPORTED_TEXT(KO_HEADING, EDITIONS_WIN2000, KO_CLOSING),                              \
            SUPPORTED_TEXT(KO_HEADING, EDITIONS_WINXP, KO_CLOSING)                                 \
    }

#endif
