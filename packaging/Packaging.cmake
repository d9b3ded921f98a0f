# Desktop integration and the Debian package. The programs install themselves from their
# own folders; this adds the menu entry, the icons and the AppStream metainfo, and makes
# `cpack -G DEB` build one package of it all.

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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tralvo)
set(CPACK_PACKAGE_VENDOR Brenlow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Test tool for HART modems")
set(CPACK_PACKAGE_DESCRIPTION
    "Tralvo tests a HART modem on a serial port: it polls the HART network, reads the\n\
primary variable once or continuously, and reports whether modem and loop work.\n\
It comes with tralvo-cli, the simulator tralvo-sim and com-troubleshooter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brenlow <support@brenlow.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://brenlow.com/tralvo)
# The Qt 6 libraries come from dpkg-shlibdeps (dpkg-dev); the Chinese window text needs
# a CJK font and Qt's own translations, which no library link reveals.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
