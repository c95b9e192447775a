# The sample driver packages: for each deliverable a folder
# ${CMAKE_BINARY_DIR}/package/<deliverable>/ holding the program beside its
# model's setup information file, driver files and model file.
foreach(_model M270 M470)
    add_library(${_model}_model SHARED ${CMAKE_SOURCE_DIR}/samples/model_dll.c)
    set_target_properties(${_model}_model PROPERTIES OUTPUT_NAME ${_model} PREFIX "" SUFFIX ".DLL")
    target_link_options(${_model}_model PRIVATE -static -static-libgcc)
endforeach()

file(GLOB_RECURSE SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/M*)
foreach(_d ${SETUP_DELIVERABLES})
    string(SUBSTRING ${_d} 0 4 _model)
    set(_dest ${CMAKE_BINARY_DIR}/package/${_d})
    add_custom_command(
        OUTPUT ${_dest}/.stamp
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/lay-out-package.sh ${_model} ${CMAKE_SOURCE_DIR}/samples
                $<TARGET_FILE:${_model}_model> $<TARGET_FILE:${_d}> ${_dest}
        COMMAND ${CMAKE_COMMAND} -E touch ${_dest}/.stamp
        DEPENDS ${_d} ${_model}_model ${SAMPLE_FILES} ${CMAKE_SOURCE_DIR}/scripts/lay-out-package.sh
        COMMENT "Laying out the sample driver package for ${_d}")
    add_custom_target(package_${_d} ALL DEPENDS ${_dest}/.stamp)
endforeach()
