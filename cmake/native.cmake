# Native unit tests of the platform-free code, under ASan and UBSan; or, with
# SETUP_FUZZ, the fuzz tree.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)

# Fuzz targets: tests/fuzz/foo_bar_fuzz.cpp, a libFuzzer entry point, gives
# fuzz_foo_bar_fuzz.  Built with clang, in a tree of their own that holds
# nothing else: clang cannot compile the Korean profiles (it knows no
# -fexec-charset but UTF-8), so the unit tests are not built there.
#   cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSETUP_FUZZ=ON
#   cmake --build build/fuzz -j2 && build/fuzz/fuzz_inf_text_fuzz -runs=10000000
option(SETUP_FUZZ "Build the libFuzzer targets instead of the unit tests" OFF)
if(SETUP_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "The fuzz targets need clang (libFuzzer): "
                            "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # A UBSan report is a finding too: without -fno-sanitize-recover it is
    # printed and the run goes on.
    set(FUZZ_FLAGS -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    foreach(_src ${FUZZ_SOURCES})
        get_filename_component(_name ${_src} NAME_WE)
        add_executable(fuzz_${_name} ${_src} ${SETUP_PORTABLE_SOURCES}
                                     ${CMAKE_SOURCE_DIR}/profile/m270_en_win7.cpp
                                     ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp)
        target_include_directories(fuzz_${_name} PRIVATE ${CMAKE_SOURCE_DIR})
        target_compile_definitions(fuzz_${_name} PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
        target_compile_options(fuzz_${_name} PRIVATE ${FUZZ_FLAGS})
        target_link_options(fuzz_${_name} PRIVATE ${FUZZ_FLAGS})
    endforeach()
    return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
# The fuzz entries also run in the unit tests, each under its own name
# (tests/fuzz/foo_bar_fuzz.cpp defines FuzzFooBar there), through a wrapper
# that renames the entry before including the file.
set(FUZZ_ENTRY_SOURCES)
foreach(_src ${FUZZ_SOURCES})
    get_filename_component(_name ${_src} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" _stem ${_name})
    string(REPLACE "_" ";" _parts ${_stem})
    set(_entry Fuzz)
    foreach(_p ${_parts})
        string(SUBSTRING ${_p} 0 1 _first)
        string(SUBSTRING ${_p} 1 -1 _rest)
        string(TOUPPER ${_first} _first)
        string(APPEND _entry ${_first}${_rest})
    endforeach()
    set(_wrapper ${CMAKE_BINARY_DIR}/fuzz_entries/${_name}.cpp)
    file(WRITE ${_wrapper}.in "#define FUZZ_ENTRY ${_entry}\n#include \"${_src}\"\n")
    configure_file(${_wrapper}.in ${_wrapper} COPYONLY)
    list(APPEND FUZZ_ENTRY_SOURCES ${_wrapper})
endforeach()

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_executable(native_tests
    ${NATIVE_TEST_SOURCES}
    ${FUZZ_ENTRY_SOURCES}
    ${SETUP_PORTABLE_SOURCES}
    ${SETUP_PROFILE_SOURCES}
    ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp)
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(native_tests PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
target_compile_options(native_tests PRIVATE -Wall -Wextra -g ${SANITIZE})
target_link_options(native_tests PRIVATE ${SANITIZE})
target_link_libraries(native_tests PRIVATE GTest::gtest_main)

gtest_discover_tests(native_tests TEST_PREFIX "native." PROPERTIES LABELS native)

# The committed images must be what scripts/gen_images.py draws.
find_program(PYTHON3 python3)
if(PYTHON3)
    add_test(NAME images_match_generator
             COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/gen_images.py --check)
    set_tests_properties(images_match_generator PROPERTIES LABELS native)
else()
    add_test(NAME images_match_generator
             COMMAND sh -c "echo 'skipped: python3 is not installed'; exit 77")
    set_tests_properties(images_match_generator PROPERTIES LABELS native SKIP_RETURN_CODE 77)
endif()

# cppcheck and clang-tidy over the program code, as the programs build it;
# any finding fails the test (scripts/static-analysis.sh).
add_test(NAME static_analysis COMMAND ${CMAKE_SOURCE_DIR}/scripts/static-analysis.sh)
set_tests_properties(static_analysis PROPERTIES LABELS native SKIP_RETURN_CODE 77 TIMEOUT 900)

# The install step through a failing package index, against a stand-in
# apt-get (tests/platform/install_deps_test.sh).
add_test(NAME install_deps_fallback COMMAND ${CMAKE_SOURCE_DIR}/tests/platform/install_deps_test.sh)
set_tests_properties(install_deps_fallback PROPERTIES LABELS native)
