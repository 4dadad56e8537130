# Writes the desktop entry at install time, so that its paths follow the prefix the files are installed
# under (`cmake --install --prefix`, CPack's /usr) rather than the one the build was configured with.
# DESTDIR is left out on purpose: the entry names where the files are once the package is unpacked.
#
# In:  LUMETRA_DESKTOP_TEMPLATE, LUMETRA_DESKTOP_OUTPUT, LUMETRA_BINDIR, LUMETRA_DATA_DIR (the last two
#      relative to the prefix or absolute), and CMAKE_INSTALL_PREFIX as the install step sees it.

# Makes a path absolute against the prefix.
function(lumetra_installed_path out path)
    if(NOT IS_ABSOLUTE "${path}")
        set(path "${CMAKE_INSTALL_PREFIX}/${path}")
    endif()
    cmake_path(ABSOLUTE_PATH path NORMALIZE)
    cmake_path(GET path ROOT_PATH root)
    if(NOT path STREQUAL root)
        string(REGEX REPLACE "/+$" "" path "${path}")
    endif()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# A value of type string in a desktop entry: backslash and control characters are escaped.
function(lumetra_desktop_string out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\n" "\\n" value "${value}")
    string(REPLACE "\t" "\\t" value "${value}")
    string(REPLACE "\r" "\\r" value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# One argument of an Exec line: quoted when it holds a reserved character, with the characters that stay
# special inside quotes escaped; then escaped once more as a string value.
function(lumetra_desktop_exec_arg out arg)
    string(REPLACE "%" "%%" arg "${arg}")
    if(arg MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
        string(REPLACE "\\" "\\\\" arg "${arg}")
        string(REPLACE "\"" "\\\"" arg "${arg}")
        string(REPLACE "`" "\\`" arg "${arg}")
        string(REPLACE "$" "\\$" arg "${arg}")
        set(arg "\"${arg}\"")
    endif()
    lumetra_desktop_string(arg "${arg}")
    set(${out} "${arg}" PARENT_SCOPE)
endfunction()

lumetra_installed_path(lumetra_bin "${LUMETRA_BINDIR}")
lumetra_installed_path(lumetra_data "${LUMETRA_DATA_DIR}")

# The absolute program path lets the entry work from any prefix, also one whose bin/ is not on PATH.
lumetra_desktop_exec_arg(LUMETRA_DESKTOP_EXEC "${lumetra_bin}/lumetra")
lumetra_desktop_string(LUMETRA_DESKTOP_TRYEXEC "${lumetra_bin}/lumetra")
# The program finds its swatch files as ./CMYK, so it starts in the folder that holds them.
lumetra_desktop_string(LUMETRA_DESKTOP_PATH "${lumetra_data}")

configure_file("${LUMETRA_DESKTOP_TEMPLATE}" "${LUMETRA_DESKTOP_OUTPUT}" @ONLY)
