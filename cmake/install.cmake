# Install layout: both programs and the three tables share one program directory, because the
# programs find their tables beside their own executable. On Linux that directory is
# lib/pelmora with links in bin; on Windows the top of the installation folder, so the tables
# lie beside the .exe; elsewhere bin.
include(GNUInstallDirs)
# Directories the install makes get 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

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

# Desktop integration, where desktops and software centres look for it.
if(TARGET pelmora AND UNIX AND NOT APPLE)
    install(FILES window/pelmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES window/org.example.pelmora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 32)
        install(FILES window/icons/pelmora_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME pelmora.png)
    endforeach()
endif()

# The manual page (one page for both programs), the licences and the change log, compressed
# as Debian's policy asks: gzip -9 without a name or a time stamp, so the bytes repeat.
if(UNIX AND NOT APPLE)
    find_program(PELMORA_GZIP gzip REQUIRED)
    set(pelmora_doc_build_dir ${CMAKE_BINARY_DIR}/packaging)
    set(pelmora_compressed)
    foreach(entry "docs/pelmora.1|pelmora.1" "cmake/debian/changelog|changelog")
        string(REPLACE "|" ";" entry "${entry}")
        list(GET entry 0 source)
        list(GET entry 1 name)
        add_custom_command(OUTPUT ${pelmora_doc_build_dir}/${name}.gz
            COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source}
                    ${pelmora_doc_build_dir}/${name}
            COMMAND ${PELMORA_GZIP} -9nf ${pelmora_doc_build_dir}/${name}
            DEPENDS ${PROJECT_SOURCE_DIR}/${source}
            COMMENT "Compressing ${source}"
            VERBATIM)
        list(APPEND pelmora_compressed ${pelmora_doc_build_dir}/${name}.gz)
    endforeach()
    add_custom_target(pelmora_compressed_docs ALL DEPENDS ${pelmora_compressed})

    install(FILES ${pelmora_doc_build_dir}/pelmora.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/pelmora-convert.1.gz\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK pelmora.1.gz \"\${link}\" SYMBOLIC)
        message(STATUS \"Linking: \${link}\")
    ")
    # The package is the project's own (native): its change log is changelog.gz.
    install(FILES cmake/debian/copyright ${pelmora_doc_build_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelmora)
endif()

# A Debian package: `cpack -G DEB` in the build directory. Its dependencies are read off the
# installed executables by dpkg-shlibdeps, not typed here.
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VENDOR "Pelmora project")
set(CPACK_PACKAGE_CONTACT "Pelmora project <pelmora-project@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Types Simplified Chinese into Japanese games as the matching kanji")
# Debian wraps nothing: each line of the long description stays under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [[
Pelmora turns Simplified Chinese text into the Shift-JIS codes of the
matching Japanese kanji, shown through code page 936, so that text pasted
into a Japanese-language game shows as the proper kanji.
Includes the window program pelmora and the command-line converter
pelmora-convert.]])
# The installer's licence page and the packages' licence: Pelmora's own, Apache-2.0.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pelmora.example.org/)
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
