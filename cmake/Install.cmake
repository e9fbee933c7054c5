# cmake --install: both programs into bin/, a desktop entry for each and the
# editor's icon (which the player's windows share) as hicolor PNGs, so that a
# desktop's menu lists them.
include(GNUInstallDirs)

install(TARGETS kivo form RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

add_executable(kivo_icon_to_png cmake/IconToPng.cpp)
set_target_properties(kivo_icon_to_png PROPERTIES AUTOMOC OFF)
target_link_libraries(kivo_icon_to_png PRIVATE Qt6::Gui)
target_compile_options(kivo_icon_to_png PRIVATE ${KIVO_WARNINGS})

set(kivo_icon_pngs)
foreach(size 16 32)
  set(png ${CMAKE_BINARY_DIR}/icons/kivo${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND kivo_icon_to_png ${PROJECT_SOURCE_DIR}/resources/kivo${size}.xpm ${png}
    DEPENDS kivo_icon_to_png ${PROJECT_SOURCE_DIR}/resources/kivo${size}.xpm
    VERBATIM)
  list(APPEND kivo_icon_pngs ${png})
  install(FILES ${png}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME kivo.png)
endforeach()
add_custom_target(kivo_icons ALL DEPENDS ${kivo_icon_pngs})

install(FILES resources/kivo.desktop resources/kivo-form.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
