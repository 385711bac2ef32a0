# CPack: the Debian package. Included on Linux only; a Windows installed tree needs Qt's
# windeployqt run on it before it can be packed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME QuorLimsDemo)
set(CPACK_PACKAGE_VENDOR "QuorLims")
set(CPACK_PACKAGE_CONTACT "QuorLims <${LIMS_MAKER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client for the laboratory information management system")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows the laboratory web application in a window of its own, with the maker's status bar and an exit confirmation.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME quorlimsdemo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# dpkg-shlibdeps turns every library the program links (the Qt 6 libraries, the C++ run time)
# into a versioned dependency on its package and appends them to the list below. The list holds
# what the program needs at run time without linking it: the web engine's helper process and
# data, and a font for the Chinese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, libqt6webengine6-data, fonts-wqy-microhei")

include(CPack)
