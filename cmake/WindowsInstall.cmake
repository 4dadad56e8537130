# Installs Lumetra for Windows into one folder, the way the portable zip and the installer hold it:
#   lumetra.exe, lumetra-cli.exe, the Qt and MinGW DLLs they load, platforms\ and styles\ (the Qt
#   plugins), CMYK\*.IccSwa, help\, bin\lumetra-cli.cmd (the folder the
#   installer can put on PATH), README.md and licences\.
# The program reads the swatch files from .\CMYK, so it is started in this folder.

install(TARGETS lumetra lumetra-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/share/windows/lumetra-cli.cmd DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/CMYK/ DESTINATION CMYK FILES_MATCHING PATTERN "*.IccSwa")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION help PATTERN "CMakeLists.txt" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/src/colour/data/SOURCES.md DESTINATION licences RENAME CIE-tables.md)
install(FILES ${PROJECT_SOURCE_DIR}/share/debian/copyright DESTINATION licences RENAME Lumetra.txt)

# The licences of what is shipped beside the program, gathered when its libraries were built.
set(LUMETRA_WINDOWS_LICENCES "" CACHE PATH "Folder with the licence texts of the shipped libraries")
if(LUMETRA_WINDOWS_LICENCES)
    install(DIRECTORY ${LUMETRA_WINDOWS_LICENCES}/ DESTINATION licences)
endif()

# Qt: the libraries the program links and the plugins it loads (the Windows platform and its style;
# the tab pictures come as PNGs, so no SVG support).
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_bin "${qt_core_dll}" DIRECTORY)
get_filename_component(qt_root "${qt_bin}" DIRECTORY)
set(qt_plugins ${qt_root}/plugins)
install(FILES ${qt_bin}/Qt6Core.dll ${qt_bin}/Qt6Gui.dll ${qt_bin}/Qt6Widgets.dll DESTINATION .)
install(FILES ${qt_plugins}/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${qt_plugins}/styles/qwindowsvistastyle.dll DESTINATION styles)

# The MinGW runtime the compiler links against.
set(LUMETRA_MINGW_RUNTIME_DIRS /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib
    CACHE STRING "Folders holding the MinGW runtime DLLs")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    find_file(lumetra_runtime_${dll} ${dll} PATHS ${LUMETRA_MINGW_RUNTIME_DIRS} NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    install(FILES ${lumetra_runtime_${dll}} DESTINATION .)
endforeach()
