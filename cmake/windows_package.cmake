# The Windows packages, made by the windows package preset (cpack: ZIP and NSIS):
#   pelmora-0.3.0-win64.zip        portable: the programs, the tables, README.txt, licenses/
#   pelmora-0.3.0-win64-setup.exe  a 64-bit installer with a Start-menu shortcut and an
#                                  uninstaller that removes what it installed
# Everything lies at the top of the install tree, the tables beside the programs.

install(FILES ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt DESTINATION .)

# Pelmora's own licence at the top; in licenses/ the licence texts of what the packages contain,
# as the Debian packages that supplied it ship them: OpenCC's dictionaries (Apache-2.0),
# Unicode's Unihan data and ICU's code page data (Unicode License), IPADIC (mecab-ipadic),
# kanjidic (the EDRDG's CC BY-SA licence, share-alike) and rime-essay (LGPL-3, with the GPL-3
# it supplements) for the tables, GCC's and MinGW-w64's runtime libraries for what is linked
# into the programs.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
set(pelmora_licence_texts
    "/usr/share/common-licenses/Apache-2.0|Apache-2.0.txt"
    "/usr/share/doc/libopencc-data/copyright|OpenCC.txt"
    "/usr/share/doc/unicode-data/copyright|Unicode.txt"
    "/usr/share/doc/libicu-dev/copyright|ICU.txt"
    "/usr/share/doc/mecab-ipadic/copyright|mecab-ipadic.txt"
    "/usr/share/doc/kanjidic/copyright|kanjidic.txt"
    "/usr/share/doc/rime-essay/copyright|rime-essay.txt"
    "/usr/share/common-licenses/LGPL-3|LGPL-3.txt"
    "/usr/share/common-licenses/GPL-3|GPL-3.txt"
    "/usr/share/doc/gcc-mingw-w64-base/copyright|GCC.txt"
    "/usr/share/doc/mingw-w64-common/copyright|MinGW-w64.txt")
foreach(entry ${pelmora_licence_texts})
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 source)
    list(GET entry 1 name)
    if(NOT EXISTS "${source}")
        message(FATAL_ERROR "${name}: ${source} is missing "
                            "(scripts/install-deps.sh windows installs it)")
    endif()
    install(FILES ${source} DESTINATION licenses RENAME ${name})
endforeach()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_SYSTEM_NAME win64)
# Files at the top of the zip and of the installation folder, not under usr/ or bin/.
set(CPACK_PACKAGING_INSTALL_PREFIX "")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pelmora)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pelmora)
# The zip and the installer differ only in their file names' ending.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/windows/cpack_options.cmake)

# NSIS: a 64-bit Unicode installer (the default stub is 32-bit, which a 64-bit-only Wine and
# some Windows installations cannot run), installing into Program Files (not "Program Files
# (x86)"), with a Start-menu shortcut to the window.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Pelmora ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Pelmora ${PROJECT_VERSION}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
if(TARGET pelmora)
    set(CPACK_PACKAGE_EXECUTABLES pelmora Pelmora)
    set(CPACK_NSIS_INSTALLED_ICON_NAME pelmora.exe)
endif()
# The project's installer template (cmake/windows/NSIS.template.in): CPack's own, with an
# install over an earlier one that repairs or upgrades it in place (the earlier uninstaller is
# never run), an installer and uninstaller that wait until Pelmora is closed, and an
# uninstaller that removes the Start-menu folder whatever its name and the folders the install
# created.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/windows)
