# The sample driver packages: for each deliverable a folder
# ${CMAKE_BINARY_DIR}/package/<deliverable>/ holding the program beside its
# model's setup information file, driver files and model file (the program
# and the model file come from the programs' sub-build in ${PROGRAMS_DIR}).

file(GLOB_RECURSE SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/M*)
foreach(_d ${SETUP_DELIVERABLES})
    string(SUBSTRING ${_d} 0 4 _model)
    set(_dest ${CMAKE_BINARY_DIR}/package/${_d})
    add_custom_command(
        OUTPUT ${_dest}/.stamp
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/lay-out-package.sh ${_model} ${CMAKE_SOURCE_DIR}/samples
                ${PROGRAMS_DIR}/${_model}.DLL ${PROGRAMS_DIR}/${_d}.exe ${_dest}
        COMMAND ${CMAKE_COMMAND} -E touch ${_dest}/.stamp
        DEPENDS programs ${PROGRAMS_DIR}/${_d}.exe ${SAMPLE_FILES}
                ${CMAKE_SOURCE_DIR}/scripts/lay-out-package.sh
        COMMENT "Laying out the sample driver package for ${_d}")
    add_custom_target(package_${_d} ALL DEPENDS ${_dest}/.stamp)
endforeach()
