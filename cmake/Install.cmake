# What `cmake --install` lays out (under CMAKE_INSTALL_PREFIX, and DESTDIR when given): the two
# programs, the desktop entry, the project file type, the icons, the AppStream file, man pages.
include(GNUInstallDirs)

install(TARGETS quorvane qvtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QV_DATA ${CMAKE_SOURCE_DIR}/data)
set(QV_DATA_OUT ${CMAKE_BINARY_DIR}/data)
install(FILES ${QV_DATA}/${QV_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QV_DATA}/${QV_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(${QV_DATA}/${QV_APP_ID}.metainfo.xml.in ${QV_DATA_OUT}/${QV_APP_ID}.metainfo.xml @ONLY)
install(FILES ${QV_DATA_OUT}/${QV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QV_DATA}/${QV_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The PNG icons are rendered from the same drawing code as the window icon.
add_executable(qv_iconrender tools/iconrender/main.cpp src/app/appicon.cpp)
target_link_libraries(qv_iconrender PRIVATE Qt6::Gui)
set(QV_ICON_SIZES 16 32 48 64 128 256)
set(QV_GENERATED)
foreach(size IN LISTS QV_ICON_SIZES)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${QV_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND qv_iconrender ${size} ${png}
    DEPENDS qv_iconrender VERBATIM)
  list(APPEND QV_GENERATED ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Man pages, compressed as Debian keeps them (-n: the same bytes on every build).
foreach(page quorvane qvtool)
  configure_file(${QV_DATA}/${page}.1.in ${QV_DATA_OUT}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${QV_DATA_OUT}/${page}.1.gz
    COMMAND gzip -9nc ${QV_DATA_OUT}/${page}.1 > ${QV_DATA_OUT}/${page}.1.gz
    DEPENDS ${QV_DATA_OUT}/${page}.1)
  list(APPEND QV_GENERATED ${QV_DATA_OUT}/${page}.1.gz)
  install(FILES ${QV_DATA_OUT}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(qv_desktop_files ALL DEPENDS ${QV_GENERATED})
