# Run by CPack on the staged files of the Debian package (CPACK_PRE_BUILD_SCRIPTS, see
# packaging.cmake): what Debian asks of a package beyond what `cmake --install` puts in a
# prefix: the manual pages compressed, the licence as the package's copyright file, a
# changelog (a package that is its own upstream keeps it as changelog.gz), and programs
# without the compilers' notes.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/${CPACK_TARNWELL_DOCDIR})
if(NOT IS_DIRECTORY ${doc})
  message(FATAL_ERROR "debian_files.cmake: no ${doc} among the staged files")
endif()

# gzip -n: no name and no time stamp in the file, so that the same files make the same package.
function(compress file)
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "debian_files.cmake: gzip ${file} failed")
  endif()
endfunction()

file(GLOB pages ${root}/share/man/man1/*.1)
foreach(page ${pages})
  compress(${page})
endforeach()

# The licence in Debian's machine-readable form: its text below its name, each line indented
# by one space and an empty line written as " .".
file(READ ${doc}/LICENSE licence)
file(REMOVE ${doc}/LICENSE)
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 terms)
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${doc}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tarnwell

Files: *
Copyright: 2026 The Tarnwell developers
License: Expat
 ${terms}
")

execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C date -u -R -d "${CPACK_TARNWELL_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE released OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "debian_files.cmake: no date from '${CPACK_TARNWELL_RELEASE_DATE}'")
endif()
file(WRITE ${doc}/changelog "\
tarnwell (${CPACK_PACKAGE_VERSION}) stable; urgency=medium

  * Tarnwell ${CPACK_PACKAGE_VERSION}: see CHANGELOG.md in this folder.

 -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${released}
")
compress(${doc}/changelog)

# The compilers' names and versions, which strip leaves in: nothing runs with them.
file(GLOB programs ${root}/bin/*)
execute_process(COMMAND ${CPACK_TARNWELL_STRIP} --remove-section=.comment ${programs} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "debian_files.cmake: strip ${programs} failed")
endif()
