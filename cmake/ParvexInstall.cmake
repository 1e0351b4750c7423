# What `cmake --install` puts where, and the .deb CPack makes of the same tree
# (scripts/package). Paths are relative to the prefix, so a staged install
# (`--prefix /tmp/root/usr`) and the package agree.
include(GNUInstallDirs)

# udev reads /usr/lib/udev/rules.d and /etc/udev/rules.d; a prefix other than /usr wants an
# absolute folder here (or the rule copied by hand, see resources/README.md).
set(PARVEX_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Where the adapter's udev rule installs, relative to the prefix unless absolute")
set(PARVEX_RELEASE_DATE "2026-12-11")
set(PARVEX_PNG_ICON_SIZES 16 32 48 64 128 256)

set(parvex_resources ${PROJECT_SOURCE_DIR}/resources)
set(parvex_staged ${PROJECT_BINARY_DIR}/install-files)
set(parvex_svg ${parvex_resources}/icons/parvex.svg)
set(parvex_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(TARGETS parvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${parvex_resources}/parvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${parvex_resources}/com.example.parvex.metainfo.xml.in
    ${parvex_staged}/com.example.parvex.metainfo.xml @ONLY)
install(FILES ${parvex_staged}/com.example.parvex.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${parvex_svg} DESTINATION ${parvex_icons}/scalable/apps)
install(FILES ${parvex_resources}/70-parvex.rules DESTINATION ${PARVEX_UDEV_RULES_DIR})

# Menus and docks that cannot draw SVG take the PNG sizes, drawn from the SVG at build time.
set(parvex_generated)
find_program(PARVEX_RSVG_CONVERT rsvg-convert)
if(PARVEX_RSVG_CONVERT)
    foreach(size ${PARVEX_PNG_ICON_SIZES})
        set(png ${parvex_staged}/icons/${size}x${size}/parvex.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${parvex_staged}/icons/${size}x${size}
            COMMAND ${PARVEX_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${parvex_svg}
            DEPENDS ${parvex_svg}
            COMMENT "Drawing the ${size}x${size} icon"
            VERBATIM)
        list(APPEND parvex_generated ${png})
        install(FILES ${png} DESTINATION ${parvex_icons}/${size}x${size}/apps)
    endforeach()
else()
    message(WARNING "rsvg-convert (Debian: librsvg2-bin) not found: only the SVG icon installs")
endif()

# The man page, compressed as Debian keeps them.
set(parvex_man ${parvex_staged}/man/parvex.1.gz)
add_custom_command(OUTPUT ${parvex_man}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/parvex.1 ${parvex_staged}/man/parvex.1
    COMMAND gzip -9nf ${parvex_staged}/man/parvex.1
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/parvex.1
    VERBATIM)
list(APPEND parvex_generated ${parvex_man})
install(FILES ${parvex_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
add_custom_target(parvex_install_files ALL DEPENDS ${parvex_generated})

# --- the .deb ---------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parvex)
# All four parts, as --version and the about box say it.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Parvex)
set(CPACK_PACKAGE_CONTACT "Parvex <support@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "host for the Parvex USB I2C adapter")
set(CPACK_PACKAGE_DESCRIPTION "Parvex drives the devices on the bus of the Parvex USB I2C \
adapter: an EEPROM editor for serial EEPROMs of 16 bytes to 2 KB, a register window for a \
register device described by the user, and an expert mode that sends raw I2C messages. A \
udev rule gives the adapter to the user logged in at the desktop.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.com/products.html")
# The libraries the program links come from dpkg-shlibdeps; these are loaded at run time:
# the platform plugins (xcb, in libqt6gui6, and the rest) and the SVG icon engine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${parvex_resources}/deb/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package holds what it should: made from this build tree into a scratch folder,
# unpacked with dpkg -x and looked over. Needs the program built (the `all` target).
find_program(PARVEX_DPKG_DEB dpkg-deb)
if(PARVEX_BUILD_TESTS AND PARVEX_DPKG_DEB)
    string(REPLACE ";" " " sizes "${PARVEX_PNG_ICON_SIZES}")
    add_test(NAME parvex_deb_contents
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/deb_contents_test.sh
            ${PROJECT_BINARY_DIR} "${sizes}" $<BOOL:${PARVEX_RSVG_CONVERT}>)
endif()
if(PARVEX_BUILD_TESTS)
    add_test(NAME parvex_man_page_matches_help
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/man_page_test.sh
            $<TARGET_FILE:parvex> ${PROJECT_SOURCE_DIR}/docs/parvex.1)
endif()
