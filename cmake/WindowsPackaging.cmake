# The Windows artefacts, made with `cpack` in the build folder: Lumetra-<version>-win64.zip (unpack
# anywhere and start lumetra.exe) and Lumetra-<version>-win64.exe, an NSIS installer (for all users
# when run with administrator rights, else for the current user; Start-menu entry, uninstaller,
# optionally bin\ on PATH for lumetra-cli).
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME "Lumetra-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Lumetra")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Lumetra")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for a 64-bit program (Debian's NSIS has the amd64 stubs); it also runs where
# no 32-bit layer is installed.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_PACKAGE_NAME "Lumetra ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Lumetra")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/share/windows/lumetra.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/share/windows/lumetra.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "lumetra.exe")
set(CPACK_NSIS_HELP_LINK "${LUMETRA_PACKAGE_HOMEPAGE}")
set(CPACK_NSIS_URL_INFO_ABOUT "${LUMETRA_PACKAGE_HOMEPAGE}")
set(CPACK_NSIS_CONTACT "${LUMETRA_PACKAGE_MAINTAINER}")
# The installer's own option page offers to put bin\ (which holds lumetra-cli.cmd) on PATH.
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The entry starts the program in the install folder, where it finds .\CMYK (a shortcut's working
# folder is the output path when it is made).
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "SetOutPath \\\"$INSTDIR\\\"
  CreateShortCut \\\"$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Lumetra.lnk\\\" \\\"$INSTDIR\\\\lumetra.exe\\\" \\\"\\\" \\\"$INSTDIR\\\\lumetra.exe\\\" 0")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete \\\"$SMPROGRAMS\\\\$MUI_TEMP\\\\Lumetra.lnk\\\"")

include(CPack)
