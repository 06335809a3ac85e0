# Installing Vorpane as any Debian program: `cmake --install build --prefix
# PREFIX` puts the programs in bin/, the atlas and the scenes in
# share/vorpane/, a man page per program (made from its --help and
# --version by help2man) in share/man/man1/, a desktop entry and its icon,
# the libraries with their headers under include/vorpane/, a CMake package
# (find_package(Vorpane): Vorpane::sim, Vorpane::gl) and a pkg-config file.
# scripts/package makes a .deb of the same with CPack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VORPANE_PROGRAMS vorpane vorpane-capture vorpane-trace vorpane-objinfo vorpane-atlas)
install(TARGETS ${VORPANE_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/assets/parts.png DESTINATION ${CMAKE_INSTALL_DATADIR}/vorpane)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/scenes DESTINATION ${CMAKE_INSTALL_DATADIR}/vorpane)

# Man pages from the programs themselves, so they never drift from the
# options; gzipped without a timestamp, as Debian wants them.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_name_vorpane "a real-time bullet-pattern show")
  set(man_name_vorpane-capture "frames of the show into PNG files, contact sheets and videos")
  set(man_name_vorpane-trace "the show's simulation as CSV, without a window")
  set(man_name_vorpane-objinfo "what the OBJ model loader reads from a file")
  set(man_name_vorpane-atlas "draw the show's sprite atlas or its icon")
  set(man_pages "")
  foreach(program IN LISTS VORPANE_PROGRAMS)
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    set(extra "")
    if(program STREQUAL "vorpane")
      set(extra --include=${PROJECT_SOURCE_DIR}/cmake/vorpane.h2m)
    endif()
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 ${extra}
              "--name=${man_name_${program}}" --output=${page} $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${page}
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/vorpane.h2m
      VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endforeach()
  add_custom_target(vorpane_man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages (scripts/setup --package installs it)")
endif()

# The desktop entry starts the show without its console lines and with the
# sleeping frame wait, so a show from the menu leaves its core idle; the icon is
# the emitter sprite cut from the shipped atlas, upside down as the show
# draws it, so it follows any new atlas.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/icon/vorpane.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icon
  COMMAND $<TARGET_FILE:vorpane-atlas> --icon ${PROJECT_BINARY_DIR}/icon/vorpane.png ${PROJECT_SOURCE_DIR}/assets/parts.png
  DEPENDS vorpane-atlas ${PROJECT_SOURCE_DIR}/assets/parts.png VERBATIM)
add_custom_target(vorpane_icon ALL DEPENDS ${PROJECT_BINARY_DIR}/icon/vorpane.png)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/vorpane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/icon/vorpane.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

# The libraries: the simulation (Vorpane::sim) and the show with its GL
# backend (Vorpane::gl), with what they link.
set_target_properties(vorpane_sim PROPERTIES EXPORT_NAME sim)
set_target_properties(vorpane_show PROPERTIES EXPORT_NAME gl)
set_target_properties(vorpane_gl PROPERTIES EXPORT_NAME gl_backend)
set_target_properties(vorpane_window PROPERTIES EXPORT_NAME window)
set_target_properties(vorpane_image PROPERTIES EXPORT_NAME image)
set_target_properties(vorpane_scenefile PROPERTIES EXPORT_NAME scenefile)
set_target_properties(vorpane_bulletml PROPERTIES EXPORT_NAME bulletml)
set_target_properties(vorpane_cli PROPERTIES EXPORT_NAME cli)
install(TARGETS vorpane_sim vorpane_scenefile vorpane_bulletml vorpane_image vorpane_window vorpane_gl vorpane_show vorpane_cli
        EXPORT VorpaneTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# Every library folder's headers, in their folders, from the list that
# src/CMakeLists.txt keeps (a new folder comes along by itself); the
# program's own folder has none to give.
get_property(vorpane_folder_owners GLOBAL PROPERTY VORPANE_FOLDER_OWNERS)
foreach(entry IN LISTS vorpane_folder_owners)
  string(REGEX MATCH "^([^=]+)=(.+)$" matched "${entry}")
  if(NOT CMAKE_MATCH_2 STREQUAL "vorpane")
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${CMAKE_MATCH_1} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vorpane
            FILES_MATCHING PATTERN "*.h")
  endif()
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/generated/vorpane_version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vorpane)
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vorpane)
install(EXPORT VorpaneTargets NAMESPACE Vorpane:: DESTINATION ${config_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VorpaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VorpaneConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VorpaneConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VorpaneConfig.cmake ${PROJECT_BINARY_DIR}/VorpaneConfigVersion.cmake
        DESTINATION ${config_dir})
file(RELATIVE_PATH VORPANE_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VORPANE_PC_TO_PREFIX "${VORPANE_PC_TO_PREFIX}")
list(JOIN VORPANE_EXACT_FLAGS " " VORPANE_PC_EXACT_FLAGS)
configure_file(${PROJECT_SOURCE_DIR}/cmake/vorpane.pc.in ${PROJECT_BINARY_DIR}/vorpane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vorpane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorpane RENAME copyright)
configure_file(${PROJECT_SOURCE_DIR}/cmake/changelog.in ${PROJECT_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/doc/changelog.gz
  COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/doc/changelog DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog VERBATIM)
add_custom_target(vorpane_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorpane)

# The package: `cpack -G DEB` in a build configured for /usr.
set(CPACK_PACKAGE_NAME vorpane)
set(CPACK_PACKAGE_VENDOR "The Vorpane developers")
set(CPACK_PACKAGE_CONTACT "The Vorpane developers <vorpane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time bullet-pattern show")
set(CPACK_PACKAGE_DESCRIPTION "Vorpane plays a real-time bullet-pattern show drawn with OpenGL: emitters\n circling, orbiting and following spline paths fire streams, fans, waves and\n walls of bullets at the mouse. Shows can be written as scene files and edited\n while they run. Includes tools to capture frames and videos, and the\n simulation library with its headers for programs of one's own.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
