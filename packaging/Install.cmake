# What `cmake --install` puts beside the two programs, the Debian package made from that by CPack,
# and the tests of both.

include(GNUInstallDirs)
set(GUSTRULE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# The man page, compressed as Debian installs man pages (gzip -9n: no name, no time stamp).
find_program(GUSTRULE_GZIP gzip)
if(GUSTRULE_GZIP)
  set(gustrule_man_page ${CMAKE_BINARY_DIR}/packaging/gustrule-cli.1.gz)
  add_custom_command(
    OUTPUT ${gustrule_man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GUSTRULE_GZIP} -9n < ${GUSTRULE_PACKAGING_DIR}/gustrule-cli.1 > ${gustrule_man_page}
    DEPENDS ${GUSTRULE_PACKAGING_DIR}/gustrule-cli.1
    COMMENT "Compressing the man page of gustrule-cli"
    VERBATIM)
  add_custom_target(gustrule-man-page ALL DEPENDS ${gustrule_man_page})
else()
  set(gustrule_man_page ${GUSTRULE_PACKAGING_DIR}/gustrule-cli.1)
endif()
install(FILES ${gustrule_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(GUSTRULE_BUILD_UI)
  install(FILES ${GUSTRULE_PACKAGING_DIR}/gustrule.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 32 64 128)
    install(FILES ${GUSTRULE_PACKAGING_DIR}/icons/gustrule-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME gustrule.png)
  endforeach()
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
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 and Wayland platform plugins
# and the window's font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-extra, qt6-qpa-plugins")
include(CPack)

if(BUILD_TESTING OR GUSTRULE_BUILD_TESTS)
  if(GUSTRULE_BUILD_UI)
    add_test(NAME desktop_entry_valid
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/validate-desktop-entry.sh
                     ${GUSTRULE_PACKAGING_DIR}/gustrule.desktop)
    set_tests_properties(desktop_entry_valid PROPERTIES SKIP_RETURN_CODE 77)
    add_test(NAME icons_match_window_icon
             COMMAND make-icons --check ${GUSTRULE_PACKAGING_DIR}/icons)
  endif()
  add_test(NAME man_page_matches_help
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check-man-page.sh help
                   $<TARGET_FILE:gustrule-cli> ${GUSTRULE_PACKAGING_DIR}/gustrule-cli.1)
  add_test(NAME man_page_examples
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check-man-page.sh examples
                   $<TARGET_FILE:gustrule-cli> ${GUSTRULE_PACKAGING_DIR}/gustrule-cli.1)
  if(GUSTRULE_BUILD_UI)
    set(gustrule_install_parts)
  else()
    set(gustrule_install_parts --no-ui)
  endif()
  add_test(NAME install_tree
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check-install-tree.sh ${CMAKE_BINARY_DIR}
                   ${gustrule_install_parts})
endif()
