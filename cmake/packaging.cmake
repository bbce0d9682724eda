# What `cmake --install` puts where, and the packages CPack makes of it: a Debian package on
# Linux; an NSIS installer and a portable ZIP from the Windows build.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME kelvora)
set(CPACK_PACKAGE_VENDOR "Kelvora")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Live readings and stored records of an earth-resistance meter")
set(CPACK_PACKAGE_CONTACT "Kelvora developers <kelvora@users.noreply.github.com>")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    install(TARGETS kelvora RUNTIME DESTINATION .)
    set(CPACK_GENERATOR NSIS ZIP)
    set(CPACK_PACKAGE_FILE_NAME "Kelvora-${CPACK_PACKAGE_VERSION}-win64")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Kelvora)
    # One key for every version, so that a newer installer finds and replaces an older one.
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kelvora)
    set(CPACK_PACKAGE_EXECUTABLES kelvora Kelvora)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_PACKAGE_NAME Kelvora)
    set(CPACK_NSIS_DISPLAY_NAME Kelvora)
    set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/resources/kelvora.ico")
    set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/resources/kelvora.ico")
    set(CPACK_NSIS_INSTALLED_ICON_NAME kelvora.exe)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    set(CPACK_NSIS_MUI_FINISHPAGE_RUN kelvora.exe)
    set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
    # A 64-bit installer for a 64-bit program: Windows without its 32-bit layer runs it too.
    # The installer's own version information, the program's version.
    string(CONCAT CPACK_NSIS_DEFINES "Target amd64-unicode\n"
        "  VIProductVersion ${PROJECT_VERSION}.0\n"
        "  VIAddVersionKey /LANG=1033 ProductName Kelvora\n"
        "  VIAddVersionKey /LANG=1033 ProductVersion ${PROJECT_VERSION}\n"
        "  VIAddVersionKey /LANG=1033 FileVersion ${PROJECT_VERSION}\n"
        "  VIAddVersionKey /LANG=1033 FileDescription Kelvora")
    include(CPack)
    return()
endif()

install(TARGETS kelvora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/kelvora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(icon IN ITEMS "32;kelvora.png" "64;kelvora@2x.png" "48;icons/kelvora-48.png"
                      "256;icons/kelvora-256.png")
    list(GET icon 0 pixels)
    list(GET icon 1 file)
    install(FILES resources/${file} RENAME kelvora.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${pixels}x${pixels}/apps)
endforeach()

# The metainfo and the manual carry the version; the manual and the changelog are gzipped
# without a time stamp, so that the same sources make the same package.
set(kelvora_linux "${PROJECT_SOURCE_DIR}/resources/linux")
configure_file(${kelvora_linux}/kelvora.metainfo.xml ${CMAKE_CURRENT_BINARY_DIR}/kelvora.metainfo.xml
    @ONLY)
configure_file(${kelvora_linux}/kelvora.1 ${CMAKE_CURRENT_BINARY_DIR}/kelvora.1 @ONLY)
configure_file(${kelvora_linux}/changelog.Debian ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian @ONLY)
foreach(plain IN ITEMS kelvora.1 changelog.Debian)
    add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${plain}.gz
        COMMAND gzip -9n -c ${CMAKE_CURRENT_BINARY_DIR}/${plain} > ${CMAKE_CURRENT_BINARY_DIR}/${plain}.gz
        DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${plain} VERBATIM)
endforeach()
add_custom_target(kelvora_package_files ALL DEPENDS
    ${CMAKE_CURRENT_BINARY_DIR}/kelvora.1.gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kelvora.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME io.github.kelvora.Kelvora.metainfo.xml)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kelvora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${kelvora_linux}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvora)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # kelvora_<version>-1_amd64.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked, so dpkg-shlibdeps cannot see them: the workbook
# library, Qt's platform plugins, and a font with the Chinese captions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libxlsxwriter4, qt6-qpa-plugins, fonts-wqy-zenhei | fonts-noto-cjk")
# Below the summary, which is the first line of the package's description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kelvora is the desktop companion of a handheld earth-resistance meter on a
serial port (Modbus RTU). It finds the meter by itself, shows the live reading
(earth resistance with Rc and Rp, soil resistivity, earth voltage, clamp
current and the status flags), downloads the stored records, draws them as
charts, fits a layered soil model to a Wenner survey, writes a PDF test
report, and saves text, CSV and Excel files. The interface is in Simplified
Chinese or English.")
include(CPack)
