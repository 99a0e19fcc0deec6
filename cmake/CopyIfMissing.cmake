# cmake -DSOURCE=file -DDESTINATION=file -P CopyIfMissing.cmake
# Lays a shipped file down only where none is, so that a rebuild never replaces what a person saved.
if(NOT DEFINED SOURCE OR NOT DEFINED DESTINATION)
    message(FATAL_ERROR "CopyIfMissing needs SOURCE and DESTINATION")
endif()
if(NOT EXISTS "${DESTINATION}")
    get_filename_component(destination_dir "${DESTINATION}" DIRECTORY)
    file(MAKE_DIRECTORY "${destination_dir}")
    file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
