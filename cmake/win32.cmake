# The four deliverables, the sample driver packages, the Win32 tests and the
# end-to-end tests, all built with mingw-w64 and run under Wine.

set(WARNINGS -Wall -Wextra)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# Where the tests' Wine prefix template is made (see scripts/make-prefix.sh).
set(WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
# Every test program target runs through this: a fresh copy of the template
# prefix and its own Xvfb for each run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${WINE_TEMPLATE})

# --- program code shared by every build --------------------------------------
add_library(setup_lib STATIC ${SETUP_PORTABLE_SOURCES} ${SETUP_WIN32_SOURCES})
target_include_directories(setup_lib PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(setup_lib PRIVATE ${WARNINGS})
target_link_libraries(setup_lib PUBLIC winspool lz32 gdi32 user32 kernel32)

file(GLOB SETUP_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/profile/images/*)
file(GLOB SETUP_LANG_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/profile/lang/*.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/profile/setup.rc PROPERTIES
    OBJECT_DEPENDS "${SETUP_IMAGES};${SETUP_LANG_RC};${CMAKE_SOURCE_DIR}/profile/resource.h")

# --- the deliverables -----------------------------------------------------------
# setup_program(NAME LANG PROFILE_FILE MODEL)
set(SETUP_DELIVERABLES)
function(setup_program name lang profile_file model)
    add_executable(${name} WIN32
        ${CMAKE_SOURCE_DIR}/app/winmain.cpp
        ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp
        ${CMAKE_SOURCE_DIR}/profile/${profile_file}
        ${CMAKE_SOURCE_DIR}/profile/setup.rc)
    string(TOUPPER ${lang} _LANG)
    target_compile_definitions(${name} PRIVATE SETUP_PROFILE=g_profile_${name_profile}
                                               SETUP_LANG_${_LANG})
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${WARNINGS}>)
    target_link_libraries(${name} PRIVATE setup_lib)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    set_property(GLOBAL APPEND PROPERTY SETUP_DELIVERABLES ${name})
endfunction()

foreach(_d M470Setup_ko_win7:ko:m470_ko_win7:M470 M270Setup_ko_vista:ko:m270_ko_vista:M270
           M270Setup_en_win7:en:m270_en_win7:M270 M270Setup_en_vista:en:m270_en_vista:M270)
    string(REPLACE ":" ";" _f ${_d})
    list(GET _f 0 _name)
    list(GET _f 1 _lang)
    list(GET _f 2 _file)
    list(GET _f 3 _model)
    string(REPLACE "Setup_" "_" name_profile ${_name})
    setup_program(${_name} ${_lang} ${_file}.cpp ${_model})
endforeach()
get_property(SETUP_DELIVERABLES GLOBAL PROPERTY SETUP_DELIVERABLES)

include(${CMAKE_SOURCE_DIR}/samples/samples.cmake)

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
wine_path(WIN_BIN_DIR ${CMAKE_BINARY_DIR})
wine_path(WIN_SOURCE_DIR ${CMAKE_SOURCE_DIR})

add_test(NAME wine_prefix_template
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-prefix.sh ${WINE_TEMPLATE})
set_tests_properties(wine_prefix_template PROPERTIES FIXTURES_SETUP wine_prefix LABELS fixture
                     SKIP_RETURN_CODE 77)

add_library(win32_test_resources OBJECT ${CMAKE_SOURCE_DIR}/profile/setup.rc)
target_compile_definitions(win32_test_resources PRIVATE SETUP_LANG_EN)

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
    target_link_libraries(${_t} PRIVATE setup_lib gtest)
    target_link_options(${_t} PRIVATE -static)
    add_dependencies(${_t} ${SETUP_DELIVERABLES})
    add_test(NAME ${_t} COMMAND ${_t})
    set_tests_properties(${_t} PROPERTIES
        FIXTURES_REQUIRED wine_prefix LABELS win32 SKIP_RETURN_CODE 77 TIMEOUT 300
        ENVIRONMENT "SETUP_BIN_DIR=${WIN_BIN_DIR};SETUP_SOURCE_DIR=${WIN_SOURCE_DIR}")
    # A test file named *_ko_test.cpp runs under the Korean code page (949).
    if(_stem MATCHES "_ko$")
        set_property(TEST ${_t} APPEND PROPERTY ENVIRONMENT "LANG=ko_KR.UTF-8" "LC_ALL=ko_KR.UTF-8")
    endif()
endforeach()

include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
