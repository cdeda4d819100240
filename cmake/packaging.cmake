# Installing Tarnwell (cmake --install, into any prefix) and its packages (cpack, or the
# `package` target): a Debian package on Linux, a zip and a setup program on Windows, named in
# TARNWELL_PACKAGE_FILE and TARNWELL_SETUP_FILE for the tests. tarnwell-cli's own install
# rules stand with it in app/.
include(GNUInstallDirs)

set(package_files ${CMAKE_BINARY_DIR}/package)
# The doc folder is named after the Debian package, in small letters.
set(TARNWELL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tarnwell)

# The changes' first entry must be this version: a release names one number everywhere.
file(STRINGS ${CMAKE_SOURCE_DIR}/CHANGELOG.md latest REGEX "^## " LIMIT_COUNT 1)
if(NOT latest MATCHES "^## ${PROJECT_VERSION} \\(([0-9-]+)\\)$")
  message(FATAL_ERROR "CHANGELOG.md begins with '${latest}', not '## ${PROJECT_VERSION} (date)'")
endif()
set(TARNWELL_RELEASE_DATE ${CMAKE_MATCH_1})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)

set(CPACK_PACKAGE_NAME tarnwell)
set(CPACK_PACKAGE_VENDOR "The Tarnwell developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file transfer with a Z88 over a serial cable")
# Lines shorter than 80 characters, as Debian asks of a package's description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tarnwell is the PC end of a serial cable to a Z88 portable computer. It"
  "stores the files the Z88 sends in one folder, keeps the copy each one"
  "replaces and says whether the new copy changed, and sends the files dropped"
  "on its small window to the Z88 one after another. tarnwell-cli does the same"
  "from a terminal, a script or an SSH session, without a display.")
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  # --- Windows: the zip ---------------------------------------------------------------------
  # tarnwell.exe (and tarnwell-cli.exe, installed from app/), with the manual and the licence
  # in Windows line endings for Notepad. The
  # manual is the Windows user's own, in plain text (docs/README-windows.txt): the
  # package test holds its sections to README.md's.
  install(TARGETS tarnwell RUNTIME DESTINATION .)
  foreach(text docs/README-windows.txt:README.txt LICENSE:LICENSE.txt)
    string(REPLACE ":" ";" text ${text})
    list(GET text 0 from)
    list(GET text 1 to)
    file(READ ${CMAKE_SOURCE_DIR}/${from} contents)
    string(REPLACE "\r\n" "\n" contents "${contents}")
    string(REPLACE "\n" "\r\n" contents "${contents}")
    file(WRITE ${package_files}/${to} "${contents}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${from})
    install(FILES ${package_files}/${to} DESTINATION .)
  endforeach()

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tarnwell-${PROJECT_VERSION}-windows)
  set(TARNWELL_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)
  # --- Windows: the setup, from the zip's files -----------------------------------------------
  # For the user who runs it, without an administrator: resources/tarnwell-setup.nsi says
  # what it installs and where.
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/windows_setup.cmake)
  set(CPACK_TARNWELL_SETUP_SCRIPT ${CMAKE_SOURCE_DIR}/resources/tarnwell-setup.nsi)
  set(TARNWELL_SETUP_FILE ${CMAKE_BINARY_DIR}/tarnwell-${PROJECT_VERSION}-setup.exe)
else()
  # --- Linux: the program, its menu entry, icons, manual, and the .deb ------------------------
  install(TARGETS tarnwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/tarnwell.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/tarnwell.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md
          ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${TARNWELL_DOCDIR})
  # The README's pictures, where its links find them.
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION ${TARNWELL_DOCDIR}/docs)
  # tarnwell-cli receive as a systemd user service, for a machine without a screen: an
  # example that each user enables for themselves (README.md, Installing).
  install(FILES ${CMAKE_SOURCE_DIR}/resources/tarnwell-receive.service DESTINATION ${TARNWELL_DOCDIR}/examples)

  # The icon in the desktop's theme: 32 pixels as the program shows it, and larger sizes
  # drawn from the same picture by a tool of this tree (app/window/icon_png.cpp).
  find_package(ZLIB REQUIRED)
  add_executable(icon-png ${CMAKE_SOURCE_DIR}/app/window/icon_png.cpp)
  target_link_libraries(icon-png PRIVATE tarnwell_app_shared ZLIB::ZLIB)
  set(icon_files "")
  foreach(side 32 48 64 128)
    set(png ${package_files}/icons/${side}x${side}/tarnwell.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${package_files}/icons/${side}x${side}
      COMMAND icon-png ${side} ${png}
      DEPENDS icon-png VERBATIM)
    list(APPEND icon_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
  endforeach()
  add_custom_target(icons ALL DEPENDS ${icon_files})

  set(CPACK_GENERATOR DEB)
  # Debian's name for the processor the programs are built for (amd64, arm64), from the
  # compiler's GNU type: a cross-built tree's package is not the host's.
  execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE architecture OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                  RESULT_VARIABLE failed)
  if(failed OR NOT architecture)
    message(FATAL_ERROR "dpkg-architecture knows no Debian name for '${CMAKE_LIBRARY_ARCHITECTURE}'")
  endif()
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${architecture})
  set(CPACK_DEBIAN_FILE_NAME tarnwell_${PROJECT_VERSION}_${architecture}.deb)
  set(TARNWELL_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME})
  set(CPACK_DEBIAN_PACKAGE_SECTION comm)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tarnwell developers <tarnwell@example.org>")
  # dpkg-shlibdeps names the packages of the libraries the programs use (FLTK, X11, the C
  # and C++ runtimes), with the versions they need.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # "Open Store Folder" hands the folder to xdg-open, which a desktop usually has already.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
  # What a Debian package has beside the files: its copyright and changelog, compressed
  # manual pages (cmake/debian_files.cmake, run on the staged files).
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/debian_files.cmake)
  set(CPACK_TARNWELL_DOCDIR ${TARNWELL_DOCDIR})
  set(CPACK_TARNWELL_RELEASE_DATE ${TARNWELL_RELEASE_DATE})
  set(CPACK_TARNWELL_STRIP ${CMAKE_STRIP})  # the target's: the host's strip reads no ARM program
endif()

# Everything `cmake --install` installs, built by one target: run.sh builds it, so that the
# README's install after `bash run.sh` finds every file.
add_custom_target(installable)
add_dependencies(installable tarnwell tarnwell-cli)
if(NOT WIN32)
  add_dependencies(installable icons)
endif()

include(CPack)
