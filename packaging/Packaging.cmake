# What the installed programs come with. The programs install themselves from their own
# folders; this adds the menu entry, the icons, the AppStream metainfo, the manual pages and
# the bash completions. The Debian package (debian/) is built from these install rules.

set(TRALVO_DESKTOP_FILE ${CMAKE_SOURCE_DIR}/resources/tralvo.desktop)
set(TRALVO_METAINFO_FILE ${CMAKE_SOURCE_DIR}/packaging/com.brenlow.Tralvo.metainfo.xml)

if(EXISTS ${TRALVO_DESKTOP_FILE})
    install(FILES ${TRALVO_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
else()
    message(WARNING "resources/tralvo.desktop is missing: no menu entry is installed")
endif()
install(FILES ${TRALVO_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon in the hicolor theme: the scalable drawing and every rendered size there is.
# A PNG is taken by the size in its name or folder (tralvo-48.png, 48x48/tralvo.png).
set(TRALVO_ICON_THEME ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/tralvo.svg)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/tralvo.svg
            DESTINATION ${TRALVO_ICON_THEME}/scalable/apps)
else()
    message(WARNING "resources/tralvo.svg is missing: no scalable icon is installed")
endif()
file(GLOB_RECURSE TRALVO_PNG_ICONS RELATIVE ${CMAKE_SOURCE_DIR}/resources
     ${CMAKE_SOURCE_DIR}/resources/*tralvo*.png)
set(TRALVO_ICON_SIZES)
foreach(icon ${TRALVO_PNG_ICONS})
    if(icon MATCHES "([0-9]+)(x[0-9]+)?[^0-9]*$")
        set(size ${CMAKE_MATCH_1})
        if(NOT size IN_LIST TRALVO_ICON_SIZES)
            list(APPEND TRALVO_ICON_SIZES ${size})
            install(FILES ${CMAKE_SOURCE_DIR}/resources/${icon}
                    DESTINATION ${TRALVO_ICON_THEME}/${size}x${size}/apps RENAME tralvo.png)
        endif()
    endif()
endforeach()
if(NOT TRALVO_ICON_SIZES)
    message(WARNING "no resources/*tralvo*.png: no rendered icon sizes are installed")
endif()

# Manual pages, one for each program, in section 1.
install(FILES
        ${CMAKE_SOURCE_DIR}/man/tralvo.1
        ${CMAKE_SOURCE_DIR}/man/tralvo-cli.1
        ${CMAKE_SOURCE_DIR}/man/tralvo-sim.1
        ${CMAKE_SOURCE_DIR}/man/com-troubleshooter.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# bash-completion loads these on demand by the command's name.
install(FILES
        ${CMAKE_SOURCE_DIR}/completions/tralvo-cli
        ${CMAKE_SOURCE_DIR}/completions/tralvo-sim
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
