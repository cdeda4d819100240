# Run by CPack once the Windows zip is made (CPACK_POST_BUILD_SCRIPTS, cmake/packaging.cmake):
# the setup program, tarnwell-VERSION-setup.exe, beside it, made by Debian's makensis (the
# package nsis) from resources/tarnwell-setup.nsi and the zip's own files, so that the two
# never differ in what they install.
find_program(makensis makensis)
if(NOT makensis)
  message(FATAL_ERROR "makensis is missing: install the package nsis")
endif()
list(GET CPACK_PACKAGE_FILES 0 zip)
set(files ${CPACK_TOPLEVEL_DIRECTORY}/setup-files)
file(REMOVE_RECURSE ${files})
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${files})
set(setup ${CPACK_PACKAGE_DIRECTORY}/tarnwell-${CPACK_PACKAGE_VERSION}-setup.exe)
execute_process(COMMAND ${makensis} -V2 -DVERSION=${CPACK_PACKAGE_VERSION}
                        -DFILES=${files}/${CPACK_PACKAGE_FILE_NAME} -DOUTFILE=${setup}
                        ${CPACK_TARNWELL_SETUP_SCRIPT}
                RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${files})
if(failed)
  message(FATAL_ERROR "makensis could not make ${setup}")
endif()
# In the words CPack uses for the zip, which test.sh shows.
message(STATUS "CPack: - package: ${setup} generated.")
