# End-to-end tests: each deliverable, laid out in its sample driver package,
# started under Wine on Xvfb in a fresh prefix and driven by e2e_tests.exe.
file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
add_executable(e2e_tests ${E2E_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp
                         ${CMAKE_SOURCE_DIR}/tests/support/skip_main.cpp)
target_include_directories(e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR})
target_compile_options(e2e_tests PRIVATE ${WARNINGS})
target_link_libraries(e2e_tests PRIVATE gtest winspool gdi32 user32)
target_link_options(e2e_tests PRIVATE -static)

# The demo's driver: walks the wizard, saves a screenshot of every window it
# shows, and reports what the spooler holds afterwards.
add_executable(demo_driver ${CMAKE_SOURCE_DIR}/tests/e2e/demo/demo_driver.cpp
                           ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
target_include_directories(demo_driver PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR})
target_compile_options(demo_driver PRIVATE ${WARNINGS})
target_link_libraries(demo_driver PRIVATE winspool gdi32 user32)
target_link_options(demo_driver PRIVATE -static)

# A stranger's DLL, planted as LZ32.DLL and WINSPOOL.DRV beside the program
# by the copy tests, and the canary that shows Wine then loads it.
add_library(planted_dll SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/planted/planted_dll.c)
set_target_properties(planted_dll PROPERTIES OUTPUT_NAME planted PREFIX "")
target_link_options(planted_dll PRIVATE -static -s)
add_executable(canary WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/planted/canary.c)
target_link_options(canary PRIVATE -static -s)
add_dependencies(e2e_tests planted_dll canary)
wine_path(WIN_TEST_BIN_DIR ${CMAKE_BINARY_DIR})

foreach(_d ${SETUP_DELIVERABLES})
    string(REGEX MATCH "^(M[0-9]+)Setup_([a-z]+)_([a-z0-9]+)$" _m ${_d})
    set(_model ${CMAKE_MATCH_1})
    set(_lang ${CMAKE_MATCH_2})
    set(_systems ${CMAKE_MATCH_3})
    wine_path(_exe ${CMAKE_BINARY_DIR}/package/${_d}/${_d}.exe)
    set(_env "SETUP_PROGRAM=${_exe};SETUP_LANG=${_lang};SETUP_MODEL=${_model}"
             "SETUP_SYSTEMS=${_systems};SETUP_BIN_DIR=${WIN_BIN_DIR}"
             "SETUP_SOURCE_DIR=${WIN_SOURCE_DIR}" "SETUP_TEST_BIN_DIR=${WIN_TEST_BIN_DIR}")
    if(_lang STREQUAL "ko")
        list(APPEND _env "LANG=ko_KR.UTF-8" "LC_ALL=ko_KR.UTF-8")
    else()
        list(APPEND _env "LANG=C.UTF-8" "LC_ALL=C.UTF-8")
    endif()
    # The user's printer through runs that do not install it, and second
    # starts during a run: one build of each language.
    set(_skip Keyboard.*:CopyE2E.*:Wow64.*)
    if(NOT (_d STREQUAL "M270Setup_en_win7" OR _d STREQUAL "M470Setup_ko_win7"))
        string(APPEND _skip :Install.EarlierPrinterSurvivesARunThatDoesNotInstallIt)
        string(APPEND _skip :Install.SecondStartsEndAtOnceAndTheRunCompletes)
    endif()
    add_test(NAME e2e_${_d} COMMAND e2e_tests --gtest_filter=-${_skip})
    set_tests_properties(e2e_${_d} PROPERTIES
        FIXTURES_REQUIRED wine_prefix LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 900
        ENVIRONMENT "${_env}")
    # The copy through the whole program.  The hostile setup information
    # runs on one build of each language; the missing file and the planted
    # DLLs on every build.
    set(_full_disk CopyE2E.DiskThatFillsDuringASharedFileKeepsOtherDriversCopies)
    if(_d STREQUAL "M270Setup_en_win7" OR _d STREQUAL "M470Setup_ko_win7")
        set(_filter CopyE2E.*-${_full_disk})
    else()
        set(_filter CopyE2E.*-CopyE2E.HostileSetupInformationTouchesNothing:${_full_disk})
    endif()
    add_test(NAME e2e_copy_${_d} COMMAND e2e_tests --gtest_filter=${_filter})
    set_tests_properties(e2e_copy_${_d} PROPERTIES
        FIXTURES_REQUIRED wine_prefix LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 600
        ENVIRONMENT "${_env}")
    # The disk that fills during a shared file: wine-run.sh makes the
    # prefix's driver directory a tmpfs with 512 KiB of room (as root).
    add_test(NAME e2e_fulldisk_${_d} COMMAND e2e_tests --gtest_filter=${_full_disk})
    set_tests_properties(e2e_fulldisk_${_d} PROPERTIES
        FIXTURES_REQUIRED wine_prefix LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 300
        ENVIRONMENT "${_env};SETUP_WINE_SMALL_DRIVER_DIR=512")
    # The keyboard walk, with real X key events typed by scripts/x-keys.sh.
    add_test(NAME e2e_keys_${_d} COMMAND e2e_tests --gtest_filter=Keyboard.*)
    set_tests_properties(e2e_keys_${_d} PROPERTIES
        FIXTURES_REQUIRED wine_prefix LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 600
        ENVIRONMENT "${_env};SETUP_X_KEYS=1")
endforeach()

# The four programs on a 64-bit Windows: in a 64-bit (WoW64) prefix, made
# once per run by its own fixture test and only when a test needs it, each
# must refuse before it touches the spooler.  One test for all four: a copy
# of the 64-bit template is about twice the size of the 32-bit one.
set(WINE_TEMPLATE_WIN64 ${CMAKE_BINARY_DIR}/wine-template-win64)
add_test(NAME wine_prefix_template_win64
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-prefix.sh ${WINE_TEMPLATE_WIN64} win64)
set_tests_properties(wine_prefix_template_win64 PROPERTIES FIXTURES_SETUP wine_prefix_win64
                     LABELS fixture SKIP_RETURN_CODE 77)
set(_programs)
foreach(_d ${SETUP_DELIVERABLES})
    wine_path(_exe ${CMAKE_BINARY_DIR}/package/${_d}/${_d}.exe)
    list(APPEND _programs ${_exe})
endforeach()
string(REPLACE ";" "|" _programs "${_programs}")
set(_env "SETUP_WINE_TEMPLATE=${WINE_TEMPLATE_WIN64}" "SETUP_WOW64_PROGRAMS=${_programs}"
         "LANG=C.UTF-8" "LC_ALL=C.UTF-8")
add_test(NAME e2e_wow64 COMMAND e2e_tests --gtest_filter=Wow64.*)
set_tests_properties(e2e_wow64 PROPERTIES
    FIXTURES_REQUIRED wine_prefix_win64 LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 600
    ENVIRONMENT "${_env}")
