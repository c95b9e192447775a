# Release tests: the programs are reproducible and scripts/release.sh ships
# them as built, and signs them so that they verify and still install.
set(_release_dir ${CMAKE_SOURCE_DIR}/tests/release)

add_test(NAME release_reproducible
         COMMAND ${_release_dir}/reproducible.sh ${CMAKE_SOURCE_DIR} ${PROGRAMS_DIR})
set_tests_properties(release_reproducible PROPERTIES LABELS release SKIP_RETURN_CODE 77
                     TIMEOUT 600)

# The signed M270Setup_en_win7.exe through one whole install, with the
# environment the end-to-end driver reads (see tests/e2e/e2e.cmake).
set(_work ${CMAKE_BINARY_DIR}/release-signed)
wine_path(_exe ${_work}/package/M270Setup_en_win7/M270Setup_en_win7.exe)
add_test(NAME release_signed
         COMMAND ${_release_dir}/signed.sh ${CMAKE_SOURCE_DIR} ${PROGRAMS_DIR} ${_work}
                 ${WINE_TEMPLATE} $<TARGET_FILE:e2e_tests>)
set_tests_properties(release_signed PROPERTIES
    FIXTURES_REQUIRED wine_prefix LABELS release SKIP_RETURN_CODE 77 TIMEOUT 900
    ENVIRONMENT "SETUP_PROGRAM=${_exe};SETUP_LANG=en;SETUP_MODEL=M270;SETUP_SYSTEMS=win7;SETUP_BIN_DIR=${WIN_BIN_DIR};SETUP_SOURCE_DIR=${WIN_SOURCE_DIR};LANG=C.UTF-8;LC_ALL=C.UTF-8")

# Windows NT 4.0 must load every program, so that it shows the program's own
# refusal of that system: nothing imported from kernel32 that NT 4.0 lacks.
add_test(NAME release_nt4_imports
         COMMAND python3 ${_release_dir}/nt4_imports.py ${CMAKE_OBJDUMP} ${_byproducts})
set_tests_properties(release_nt4_imports PROPERTIES LABELS release)
