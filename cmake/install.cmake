# Install layout: both programs and the three tables share one program directory, because the
# programs find their tables beside their own executable. On Linux that directory is
# lib/pelmora with links in bin; on Windows the top of the installation folder, so the tables
# lie beside the .exe; elsewhere bin.
include(GNUInstallDirs)

if(UNIX AND NOT APPLE)
    set(PELMORA_INSTALL_PROGRAM_DIR lib/pelmora)
    set(PELMORA_INSTALL_LINKS ON)
elseif(WIN32)
    # The top of the installation folder (or of the unpacked zip).
    set(PELMORA_INSTALL_PROGRAM_DIR .)
    set(PELMORA_INSTALL_LINKS OFF)
else()
    set(PELMORA_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
    set(PELMORA_INSTALL_LINKS OFF)
endif()

set(pelmora_programs pelmora-convert)
if(TARGET pelmora)
    list(APPEND pelmora_programs pelmora)
endif()

install(TARGETS ${pelmora_programs} RUNTIME DESTINATION ${PELMORA_INSTALL_PROGRAM_DIR})
install(FILES data/pin.dat data/pj.dat data/jj.dat data/words.dat data/candidates.dat data/names.dat
    DESTINATION ${PELMORA_INSTALL_PROGRAM_DIR})

if(PELMORA_INSTALL_LINKS)
    # Relative links, so the installed tree can be moved or packaged as a whole.
    file(RELATIVE_PATH pelmora_link_target /${CMAKE_INSTALL_BINDIR} /${PELMORA_INSTALL_PROGRAM_DIR})
    foreach(program ${pelmora_programs})
        install(CODE "
            set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
            file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
            file(REMOVE \"\${link}\")
            file(CREATE_LINK \"${pelmora_link_target}/${program}\" \"\${link}\" SYMBOLIC)
            message(STATUS \"Linking: \${link}\")
        ")
    endforeach()
endif()

# Desktop integration, where desktops look for it.
if(TARGET pelmora AND UNIX AND NOT APPLE)
    install(FILES window/pelmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size 16 32)
        install(FILES window/icons/pelmora_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME pelmora.png)
    endforeach()
endif()

# A Debian package: `cpack -G DEB` in the build directory. Its dependencies are read off the
# installed executables by dpkg-shlibdeps, not typed here.
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VENDOR "Pelmora project")
set(CPACK_PACKAGE_CONTACT "Pelmora project <pelmora-project@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Types Simplified Chinese into Japanese games as the matching kanji")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelmora turns Simplified Chinese text into the Shift-JIS codes of the matching Japanese kanji, shown through code page 936, so that text pasted into a Japanese-language game shows as the proper kanji. Includes the window program pelmora and the command-line converter pelmora-convert.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY pelmora)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# No library links to a font, but without a CJK font every character in the window is a box;
# without Qt's translations the window's OK buttons and context menus stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-arphic-uming | fonts-wqy-zenhei, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows_package.cmake)
endif()
include(CPack)
