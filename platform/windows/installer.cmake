# The Windows installer, quelvex-<version>-win64.exe, made by CPack's NSIS generator in the build
# folder (tools/build-windows.sh runs cpack): the program and ALARM.WAV in Program Files\Quelvex,
# a Start-menu shortcut, an entry in the installed-programs list and an uninstaller. /S installs
# and uninstalls silently.
install(TARGETS quelvex RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/skin/ALARM.WAV DESTINATION .)

# The licence page would otherwise show CMake's own licence.
set(QUELVEX_WIN_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/license.txt)
file(WRITE ${QUELVEX_WIN_LICENSE} "Quelvex ${PROJECT_VERSION}\n\nCopyright 2026 Quelvex. All rights reserved.\n")

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Quelvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quelvex)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "power off the computer at a chosen moment")
set(CPACK_PACKAGE_FILE_NAME quelvex-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quelvex)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quelvex)
set(CPACK_PACKAGE_EXECUTABLES quelvex Quelvex)
set(CPACK_RESOURCE_FILE_LICENSE ${QUELVEX_WIN_LICENSE})
set(CPACK_STRIP_FILES ON)
# A 64-bit installer: the default stub is 32-bit, which a 64-bit-only Wine runs as a silent no-op.
# The leading spaces matter: CPack puts the value after "!define" at the start of a line.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_PACKAGE_NAME Quelvex)
set(CPACK_NSIS_DISPLAY_NAME Quelvex)
set(CPACK_NSIS_INSTALLED_ICON_NAME quelvex.exe)
set(CPACK_NSIS_MUI_ICON ${QUELVEX_WIN_ICO})
set(CPACK_NSIS_MUI_UNIICON ${QUELVEX_WIN_ICO})
set(CPACK_NSIS_URL_INFO_ABOUT ${QUELVEX_SITE_URL})
set(CPACK_NSIS_CONTACT "support@quelvex.example")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN quelvex.exe)
# The uninstaller removes the key holding the install folder but not the publisher's key above it.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey SHCTX 'Software\\\\Quelvex\\\\Quelvex'
  DeleteRegKey /ifempty SHCTX 'Software\\\\Quelvex'")
include(CPack)
