# The copy dialog's Win32 tests: the files they copy (made by
# scripts/make-copy-fixtures.sh with mscompress and msexpand), and the tests
# that need root (tests/win32/root/), run through copy_root.sh, which
# prepares an immutable file and a small tmpfs around the test program and
# undoes both.
set(COPY_FIXTURES ${CMAKE_BINARY_DIR}/copy-fixtures)
add_custom_command(
    OUTPUT ${COPY_FIXTURES}/.stamp
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-copy-fixtures.sh ${COPY_FIXTURES}
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-copy-fixtures.sh
    COMMENT "Making the copy dialog's test files")
add_custom_target(copy_fixtures ALL DEPENDS ${COPY_FIXTURES}/.stamp)
wine_path(WIN_COPY_FIXTURES ${COPY_FIXTURES})
wine_path(WIN_SAMPLE_PACKAGE ${CMAKE_BINARY_DIR}/package/M270Setup_en_win7)

add_dependencies(win32_copy_dialog copy_fixtures package_M270Setup_en_win7)
set_property(TEST win32_copy_dialog APPEND PROPERTY ENVIRONMENT
             "SETUP_COPY_FIXTURES=${WIN_COPY_FIXTURES}" "SETUP_PACKAGE_DIR=${WIN_SAMPLE_PACKAGE}")

add_executable(win32_copy_root ${CMAKE_SOURCE_DIR}/tests/win32/root/copy_root_test.cpp
                               ${WIN32_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/tests/support/skip_main.cpp
                               ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp
                               ${CMAKE_SOURCE_DIR}/profile/m270_en_win7.cpp
                               $<TARGET_OBJECTS:win32_test_resources>)
target_include_directories(win32_copy_root PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32)
target_compile_definitions(win32_copy_root PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
target_compile_options(win32_copy_root PRIVATE ${WARNINGS})
target_link_libraries(win32_copy_root PRIVATE setup_lib gtest winspool lz32)
target_link_options(win32_copy_root PRIVATE -static)
add_dependencies(win32_copy_root copy_fixtures)
add_test(NAME win32_copy_root
         COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/root/copy_root.sh ${WINE_TEMPLATE}
                 $<TARGET_FILE:win32_copy_root>)
set_tests_properties(win32_copy_root PROPERTIES
    FIXTURES_REQUIRED wine_prefix LABELS win32 SKIP_RETURN_CODE 77 TIMEOUT 300
    ENVIRONMENT "SETUP_COPY_FIXTURES=${WIN_COPY_FIXTURES}")

# The copy benchmark (run by scripts/copy-benchmark.sh, not by ctest).
add_executable(copy_benchmark ${CMAKE_SOURCE_DIR}/tests/bench/copy_benchmark.cpp
                              ${CMAKE_SOURCE_DIR}/profile/active_profile.cpp
                              ${CMAKE_SOURCE_DIR}/profile/m270_en_win7.cpp
                              $<TARGET_OBJECTS:win32_test_resources>)
target_include_directories(copy_benchmark PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32)
target_compile_definitions(copy_benchmark PRIVATE SETUP_PROFILE=g_profile_M270_en_win7)
target_compile_options(copy_benchmark PRIVATE ${WARNINGS})
target_link_libraries(copy_benchmark PRIVATE setup_lib lz32)
target_link_options(copy_benchmark PRIVATE -static)
