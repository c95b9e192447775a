# Native unit tests of the platform-free code, under ASan and UBSan.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_executable(native_tests
    ${NATIVE_TEST_SOURCES}
    ${SETUP_PORTABLE_SOURCES}
    ${SETUP_PROFILE_SOURCES}
    ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp)
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(native_tests PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
target_compile_options(native_tests PRIVATE -Wall -Wextra -g ${SANITIZE})
target_link_options(native_tests PRIVATE ${SANITIZE})
target_link_libraries(native_tests PRIVATE GTest::gtest_main)

gtest_discover_tests(native_tests TEST_PREFIX "native." PROPERTIES LABELS native)

# Fuzz targets: tests/fuzz/*.cpp, each a libFuzzer entry point; built only
# with clang (cmake -DCMAKE_CXX_COMPILER=clang++ -DSETUP_FUZZ=ON).
option(SETUP_FUZZ "Build the libFuzzer targets" OFF)
if(SETUP_FUZZ)
    file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
    foreach(_src ${FUZZ_SOURCES})
        get_filename_component(_name ${_src} NAME_WE)
        add_executable(fuzz_${_name} ${_src} ${SETUP_PORTABLE_SOURCES} ${SETUP_PROFILE_SOURCES}
                                     ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp)
        target_include_directories(fuzz_${_name} PRIVATE ${CMAKE_SOURCE_DIR})
        target_compile_definitions(fuzz_${_name} PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
        target_compile_options(fuzz_${_name} PRIVATE -g -fsanitize=fuzzer,address,undefined)
        target_link_options(fuzz_${_name} PRIVATE -fsanitize=fuzzer,address,undefined)
    endforeach()
endif()
