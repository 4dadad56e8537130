# The Debian package: `cpack -G DEB` (or plain `cpack`) in the build folder makes
# lumetra_<version>_<arch>.deb, installing under /usr.

# Placeholders until the project has an address and a site of its own: the .example domain is
# reserved (RFC 2606), so neither can ever reach a stranger. The address is the one the program's
# messages and help page give.
set(LUMETRA_PACKAGE_MAINTAINER "Lumetra developers <support@lumetra.example>"
    CACHE STRING "Maintainer named in the Debian package")
set(LUMETRA_PACKAGE_HOMEPAGE "https://lumetra.example/"
    CACHE STRING "Homepage named in the Debian package")
set(LUMETRA_PACKAGE_PREFIX /usr CACHE PATH "Prefix the Debian package installs under")

set(CPACK_PACKAGE_NAME lumetra)
set(CPACK_PACKAGE_VENDOR "Lumetra")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${LUMETRA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of at most 80 characters (with the leading blank the control file adds), as Debian wants.
set(CPACK_PACKAGE_DESCRIPTION
    "Lumetra imports the CGATS measurement files of a printed test chart
(spectral, L*a*b* and optimized files), shows their contents and counts, and
writes the two files the calibration software reads: a smoothing file (per
patch: C, M, Y and K from the chart's swatch file, L*a*b* and 36 spectral
values from 380 to 730 nm) and a spec file (per patch: the spectral values).
The package holds the window, the command-line tool lumetra-cli and the
swatch files of the charts.")
if(WIN32)
    include(WindowsPackaging)
    return()
endif()
set(CPACK_GENERATOR DEB)
# Installed with DESTDIR pointing at the staging folder and the prefix /usr, so the install step sees
# the prefix the files have once the package is installed and writes the desktop entry with it.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "${LUMETRA_PACKAGE_PREFIX}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${LUMETRA_PACKAGE_PREFIX}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LUMETRA_PACKAGE_HOMEPAGE}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# Qt loads these as plugins, so no linker-level scan sees them: the platform plugins (xcb, wayland)
# and the SVG image and icon plugins that draw the tab icons.
set(lumetra_plugin_depends "qt6-qpa-plugins, libqt6svg6")
find_program(LUMETRA_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(LUMETRA_DPKG_SHLIBDEPS)
if(LUMETRA_DPKG_SHLIBDEPS)
    # Versioned library dependencies, read from the binaries themselves.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${lumetra_plugin_depends}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11), libqt6core6 (>= 6.4.0), libqt6gui6 (>= 6.4.0), libqt6widgets6 (>= 6.4.0), liblcms2-2 (>= 2.9), ${lumetra_plugin_depends}")
endif()

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/_CPack_Packages/" "\\\\.deb$")

include(CPack)
