# What an installed program needs besides the executable: its icon (Qt resource for the windows,
# .ico in the Windows resources, hicolor PNGs for Linux desktops), the desktop entry, and the
# Debian package built by CPack. On Windows, Qt's windeployqt completes the installed tree.
include(GNUInstallDirs)

set(LIMS_ICON_DIR ${PROJECT_SOURCE_DIR}/resources/icons)
set(LIMS_ICON_SIZES 16 32 48 64 72)

# ":/icons/quorlims-<size>.png" for QApplication::setWindowIcon().
target_sources(QuorLimsDemo PRIVATE ${LIMS_ICON_DIR}/icons.qrc)

if(WIN32)
    enable_language(RC)
    set(LIMS_ICON_ICO ${LIMS_ICON_DIR}/quorlims.ico)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/QuorLimsDemo.rc.in
        ${CMAKE_CURRENT_BINARY_DIR}/QuorLimsDemo.rc @ONLY)
    target_sources(QuorLimsDemo PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/QuorLimsDemo.rc)
endif()

install(TARGETS QuorLimsDemo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/QuorLimsDemo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size IN LISTS LIMS_ICON_SIZES)
        install(FILES ${LIMS_ICON_DIR}/quorlims-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME quorlims.png)
    endforeach()
    include(${PROJECT_SOURCE_DIR}/packaging/cpack.cmake)
endif()
