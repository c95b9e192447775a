# The Windows trees, built with mingw-w64:
#   toolchain-mingw.cmake (win32 thread model): the four programs and the
#       sample packages' model files;
#   toolchain-mingw-posix.cmake: the Win32 and end-to-end tests, run under
#       Wine; it builds the programs with the other toolchain as a sub-build
#       in ${CMAKE_BINARY_DIR}/programs and lays out the sample packages.

set(WARNINGS -Wall -Wextra)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
if(CMAKE_CXX_COMPILER MATCHES "-posix$")
    set(SETUP_TEST_TREE ON)
else()
    set(SETUP_TEST_TREE OFF)
endif()

if(SETUP_TEST_TREE)
    # Where the tests' Wine prefix template is made (scripts/make-prefix.sh).
    set(WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
    # Every test program target runs through this: a fresh copy of the
    # template prefix and its own Xvfb for each run.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${WINE_TEMPLATE})
endif()

# --- program code shared by every build --------------------------------------
add_library(setup_lib STATIC ${SETUP_PORTABLE_SOURCES} ${SETUP_WIN32_SOURCES})
target_include_directories(setup_lib PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(setup_lib PRIVATE ${WARNINGS})
# LZ32 and winspool are loaded at start-up from the system folder, never
# imported (app/system_libraries.cpp).
target_link_libraries(setup_lib PUBLIC gdi32 user32 kernel32)

file(GLOB SETUP_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/profile/images/*)
file(GLOB SETUP_LANG_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/profile/lang/*.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/profile/setup.rc PROPERTIES
    OBJECT_DEPENDS "${SETUP_IMAGES};${SETUP_LANG_RC};${CMAKE_SOURCE_DIR}/profile/resource.h")

set(SETUP_DELIVERABLES M470Setup_ko_win7 M270Setup_ko_vista M270Setup_en_win7 M270Setup_en_vista)

if(NOT SETUP_TEST_TREE)
    # --- reproducible output: the same commit gives the same bytes whatever
    # the path, the machine or the time.  ld writes the link time into the PE
    # header's TimeDateStamp (and, in a DLL, into the export directory) and a
    # CheckSum over the result; nothing else in the output varies.  Without
    # SOURCE_DATE_EPOCH the stamp is zero; with it (read once, when the tree
    # is configured) the stamp is that time, which ld takes from the same
    # variable at link time.  Source and build paths are mapped away so that
    # no __FILE__ can carry them in.
    set(SETUP_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING
        "Unix time written into the programs' PE headers (empty: zero)")
    set(_path_map -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
    target_compile_options(setup_lib PRIVATE ${_path_map})
    if(SETUP_SOURCE_DATE_EPOCH STREQUAL "")
        set(_stamp_link -Wl,--no-insert-timestamp)
        set(_stamp_env)
    elseif(SETUP_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$" AND SETUP_SOURCE_DATE_EPOCH LESS 4294967296)
        if(CMAKE_VERSION VERSION_LESS 3.21)
            message(FATAL_ERROR "SOURCE_DATE_EPOCH needs CMake 3.21 (linker launchers)")
        endif()
        set(_stamp_link -Wl,--insert-timestamp)
        set(_stamp_env ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SETUP_SOURCE_DATE_EPOCH})
    else()
        message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a Unix time that fits the PE header's "
                            "32 bits, not '${SETUP_SOURCE_DATE_EPOCH}'")
    endif()

    # --- the deliverables: M270Setup_en_win7.exe uses the profile defined in
    # profile/m270_en_win7.cpp, g_profile_M270_en_win7, and the English
    # resources; the others likewise.
    foreach(_d ${SETUP_DELIVERABLES})
        string(REPLACE "Setup_" "_" _profile ${_d})
        string(TOLOWER ${_profile} _file)
        string(REGEX MATCH "_(ko|en)_" _lang ${_d})
        string(REPLACE "_" "" _lang ${_lang})
        string(TOUPPER ${_lang} _lang)
        add_executable(${_d} WIN32
            ${CMAKE_SOURCE_DIR}/app/winmain.cpp
            ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp
            ${CMAKE_SOURCE_DIR}/profile/${_file}.cpp
            ${CMAKE_SOURCE_DIR}/profile/setup.rc)
        target_compile_definitions(${_d} PRIVATE SETUP_PROFILE=g_profile_${_profile}
                                                 SETUP_LANG_${_lang})
        target_compile_options(${_d} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${WARNINGS};${_path_map}>")
        target_link_libraries(${_d} PRIVATE setup_lib)
        # Static runtime, and no debugging sections in what ships.
        target_link_options(${_d} PRIVATE -static -static-libgcc -static-libstdc++ -s ${_stamp_link})
        set_target_properties(${_d} PROPERTIES CXX_LINKER_LAUNCHER "${_stamp_env}")
    endforeach()

    # The model files of the sample driver packages, built like the programs.
    foreach(_model M270 M470)
        add_library(${_model}_model SHARED ${CMAKE_SOURCE_DIR}/samples/model_dll.c)
        set_target_properties(${_model}_model PROPERTIES OUTPUT_NAME ${_model} PREFIX ""
                                                          SUFFIX ".DLL")
        target_compile_options(${_model}_model PRIVATE ${_path_map})
        target_link_options(${_model}_model PRIVATE -static -static-libgcc -s ${_stamp_link})
        set_target_properties(${_model}_model PROPERTIES C_LINKER_LAUNCHER "${_stamp_env}")
    endforeach()
    return()
endif()

# --- the programs, as a sub-build with the programs' toolchain ---------------
include(ExternalProject)
set(PROGRAMS_DIR ${CMAKE_BINARY_DIR}/programs)
set(_byproducts)
foreach(_d ${SETUP_DELIVERABLES})
    list(APPEND _byproducts ${PROGRAMS_DIR}/${_d}.exe)
endforeach()
ExternalProject_Add(programs
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${PROGRAMS_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchain-mingw.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${_byproducts} ${PROGRAMS_DIR}/M270.DLL ${PROGRAMS_DIR}/M470.DLL)

include(${CMAKE_SOURCE_DIR}/samples/samples.cmake)

# The programs must load on Windows 2000: only system DLLs, no function a
# later Windows added.
add_test(NAME programs_load_on_windows_2000
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh ${CMAKE_OBJDUMP} ${_byproducts})
set_tests_properties(programs_load_on_windows_2000 PROPERTIES LABELS win32)

# --- Win32 tests: one GoogleTest program per file, each run under Wine --------
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_link_options(gtest PUBLIC -static -static-libgcc -static-libstdc++)

# The Windows path of a Linux path, as Wine's Z: drive shows it.
function(wine_path out path)
    string(REPLACE "/" "\\" _p "${path}")
    set(${out} "Z:${_p}" PARENT_SCOPE)
endfunction()
wine_path(WIN_BIN_DIR ${PROGRAMS_DIR})
wine_path(WIN_SOURCE_DIR ${CMAKE_SOURCE_DIR})

add_test(NAME wine_prefix_template
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-prefix.sh ${WINE_TEMPLATE})
set_tests_properties(wine_prefix_template PROPERTIES FIXTURES_SETUP wine_prefix LABELS fixture
                     SKIP_RETURN_CODE 77)

# The platform self-test (threads, timers, exceptions, contexts) runs before
# every other test under Wine, which require it below: on a broken route
# (see scripts/wine-route.sh) it names the broken capability and the rest
# is not run.
add_executable(platform_selftest ${CMAKE_SOURCE_DIR}/tests/platform/platform_selftest.cpp)
target_compile_options(platform_selftest PRIVATE ${WARNINGS})
target_link_libraries(platform_selftest PRIVATE ntdll)
target_link_options(platform_selftest PRIVATE -static)
add_test(NAME wine_platform_selftest COMMAND platform_selftest)
set_tests_properties(wine_platform_selftest PROPERTIES FIXTURES_REQUIRED wine_prefix
                     FIXTURES_SETUP wine_platform LABELS fixture SKIP_RETURN_CODE 77 TIMEOUT 300)

# The English resources, and the templates only the tests use.
file(GLOB WIN32_TEST_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.rc)
add_library(win32_test_resources OBJECT ${CMAKE_SOURCE_DIR}/profile/setup.rc ${WIN32_TEST_RC})
target_compile_definitions(win32_test_resources PRIVATE SETUP_LANG_EN)
target_include_directories(win32_test_resources PRIVATE ${CMAKE_SOURCE_DIR})

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
file(GLOB WIN32_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.cpp)
foreach(_src ${WIN32_TEST_SOURCES})
    get_filename_component(_stem ${_src} NAME_WE)
    string(REGEX REPLACE "_test$" "" _stem ${_stem})
    set(_t win32_${_stem})
    add_executable(${_t} ${_src} ${WIN32_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/tests/support/skip_main.cpp
                         ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp
                         ${CMAKE_SOURCE_DIR}/profile/m270_en_win7.cpp
                         $<TARGET_OBJECTS:win32_test_resources>)
    target_compile_definitions(${_t} PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
    target_compile_options(${_t} PRIVATE ${WARNINGS})
    # The tests call winspool and LZ32 directly too.
    target_link_libraries(${_t} PRIVATE setup_lib gtest winspool lz32)
    target_link_options(${_t} PRIVATE -static)
    add_dependencies(${_t} programs)
    add_test(NAME ${_t} COMMAND ${_t})
    set_tests_properties(${_t} PROPERTIES
        FIXTURES_REQUIRED wine_prefix LABELS win32 SKIP_RETURN_CODE 77 TIMEOUT 300
        ENVIRONMENT "SETUP_BIN_DIR=${WIN_BIN_DIR};SETUP_SOURCE_DIR=${WIN_SOURCE_DIR}")
    # A test file named *_ko_test.cpp runs under the Korean code page (949).
    if(_stem MATCHES "_ko$")
        set_property(TEST ${_t} APPEND PROPERTY ENVIRONMENT "LANG=ko_KR.UTF-8" "LC_ALL=ko_KR.UTF-8")
    endif()
endforeach()

# The icon lists again at 120 dots per inch (125 %, common on Windows 7),
# where the system's icon size is 40 (scripts/wine-run.sh sets LogPixels).
add_test(NAME win32_ui_icon_list_120dpi COMMAND win32_ui_icon_list)
set_tests_properties(win32_ui_icon_list_120dpi PROPERTIES
    FIXTURES_REQUIRED wine_prefix LABELS win32 SKIP_RETURN_CODE 77 TIMEOUT 300
    ENVIRONMENT "SETUP_WINE_LOGPIXELS=120")

include(${CMAKE_SOURCE_DIR}/tests/win32/copy.cmake)
include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
include(${CMAKE_SOURCE_DIR}/tests/release/release.cmake)

# Every test that runs under Wine waits for the platform self-test.
get_property(_all_tests DIRECTORY PROPERTY TESTS)
foreach(_t ${_all_tests})
    get_test_property(${_t} FIXTURES_REQUIRED _fixtures)
    if(_fixtures MATCHES "wine_prefix" AND NOT _t STREQUAL "wine_platform_selftest")
        set_property(TEST ${_t} APPEND PROPERTY FIXTURES_REQUIRED wine_platform)
    endif()
endforeach()
