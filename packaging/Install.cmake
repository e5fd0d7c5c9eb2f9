# What `cmake --install` puts beside the two programs, and the Debian package made from that by
# CPack. The tests of both are in tests/package/.

include(GNUInstallDirs)
set(GUSTRULE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
# Debian's place for the copyright file and the changelog: named after the package, in lower case.
set(GUSTRULE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/gustrule)

# Installs packaging/SOURCE into DESTINATION as NAME.gz, compressed as Debian compresses
# documentation (gzip -9n: no name, no time stamp), or as NAME uncompressed where gzip is missing.
# Every compressed file is built by the default target, so a plain `cmake --build` leaves nothing
# for the install to miss.
find_program(GUSTRULE_GZIP gzip)
set(gustrule_compressed)
function(gustrule_install_compressed source destination name)
  if(GUSTRULE_GZIP)
    set(compressed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(
      OUTPUT ${compressed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${GUSTRULE_GZIP} -9n < ${GUSTRULE_PACKAGING_DIR}/${source} > ${compressed}
      DEPENDS ${GUSTRULE_PACKAGING_DIR}/${source}
      COMMENT "Compressing ${name}"
      VERBATIM)
    install(FILES ${compressed} DESTINATION ${destination})
    set(gustrule_compressed ${gustrule_compressed} ${compressed} PARENT_SCOPE)
  else()
    install(FILES ${GUSTRULE_PACKAGING_DIR}/${source} DESTINATION ${destination} RENAME ${name})
  endif()
endfunction()

gustrule_install_compressed(gustrule-cli.1 ${CMAKE_INSTALL_MANDIR}/man1 gustrule-cli.1)
gustrule_install_compressed(changelog ${GUSTRULE_INSTALL_DOCDIR} changelog.Debian)
install(FILES ${GUSTRULE_PACKAGING_DIR}/copyright DESTINATION ${GUSTRULE_INSTALL_DOCDIR})
# What lintian notes on the package and is accepted, each with its reason. It means something only
# inside the Debian package, so a plain `cmake --install` (into ~/.local, say) leaves it out: it is
# a component of its own that only CPack installs, beside the default one.
install(FILES ${GUSTRULE_PACKAGING_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME gustrule
        COMPONENT DebianPackage EXCLUDE_FROM_ALL)

if(GUSTRULE_BUILD_UI)
  gustrule_install_compressed(gustrule.1 ${CMAKE_INSTALL_MANDIR}/man1 gustrule.1)
  install(FILES ${GUSTRULE_PACKAGING_DIR}/gustrule.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 32 64 128)
    install(FILES ${GUSTRULE_PACKAGING_DIR}/icons/gustrule-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME gustrule.png)
  endforeach()
endif()

if(gustrule_compressed)
  add_custom_target(gustrule-compressed-docs ALL DEPENDS ${gustrule_compressed})
endif()

set(CPACK_PACKAGE_NAME gustrule)
set(CPACK_PACKAGE_VENDOR Quellborn)
set(CPACK_PACKAGE_CONTACT "The Gustrule developers <gustrule@quellborn.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop calculator for sizing air ducts")
set(CPACK_PACKAGE_DESCRIPTION
    "Type an air volume flow and a duct length and Gustrule shows at once, for 23
round duct sizes from 80 mm to 1500 mm, the air velocity, the friction loss
per metre and over the length, the velocity pressure and, for spiral duct, the
losses of eight kinds of bend. It also sizes one rectangular duct through its
equivalent round diameter, shows recommended and maximum velocities, and
converts a volume flow between l/s, m³/s, m³/min and m³/hr.

The package holds the window program, gustrule, and gustrule-cli, which prints
the same result grids for scripts.")
set(CPACK_STRIP_FILES ON)
# The first Debian revision of the release: the package's version is 1.0.0-1, and its changelog
# is the Debian one, changelog.Debian.gz, whose newest entry names this version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 and Wayland platform plugins
# and the window's font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-extra, qt6-qpa-plugins")
# The package holds the default component and the one that only the package has.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/"
                                 "${CMAKE_BINARY_DIR};${PROJECT_NAME};DebianPackage;/")
include(CPack)
