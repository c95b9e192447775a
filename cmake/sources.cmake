# Collects the program's sources from each folder's files.cmake.
#   SETUP_PORTABLE_SOURCES  platform-free code (no <windows.h>): built for
#                           the program and natively for the unit tests
#   SETUP_WIN32_SOURCES     code that calls the Win32 API
# Each files.cmake calls setup_sources(PORTABLE ... WIN32 ...) with names
# relative to its folder.
set(SETUP_PORTABLE_SOURCES)
set(SETUP_WIN32_SOURCES)

macro(setup_sources)
    cmake_parse_arguments(_ss "" "" "PORTABLE;WIN32" ${ARGN})
    foreach(_f ${_ss_PORTABLE})
        list(APPEND SETUP_PORTABLE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${_f})
    endforeach()
    foreach(_f ${_ss_WIN32})
        list(APPEND SETUP_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${_f})
    endforeach()
endmacro()

foreach(_dir app profile setupinfo copy spooler ui)
    include(${CMAKE_SOURCE_DIR}/${_dir}/files.cmake)
endforeach()

# One profile definition per deliverable; the Korean ones hold code page 949.
set(SETUP_PROFILE_SOURCES
    ${CMAKE_SOURCE_DIR}/profile/m470_ko_win7.cpp
    ${CMAKE_SOURCE_DIR}/profile/m270_ko_vista.cpp
    ${CMAKE_SOURCE_DIR}/profile/m270_en_win7.cpp
    ${CMAKE_SOURCE_DIR}/profile/m270_en_vista.cpp)
set_source_files_properties(
    ${CMAKE_SOURCE_DIR}/profile/m470_ko_win7.cpp
    ${CMAKE_SOURCE_DIR}/profile/m270_ko_vista.cpp
    PROPERTIES COMPILE_OPTIONS "-finput-charset=UTF-8;-fexec-charset=CP949")
