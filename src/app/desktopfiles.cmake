# The player's files for the desktop: PNG icons rendered from the SVG at build time (for
# desktops without an SVG loader, and built into the program as its window icon), the
# AppStream metadata for software centres and the manual pages. Included by the player's
# build (windows on).

# Where the project's files are published: the metadata's home page and screenshot
# (docs/screenshot.png) are under this address.
set(SONAVUE_WEB_ADDRESS "https://sonavue.invalid" CACHE STRING
    "Web address the project's files are published under (home page, docs/screenshot.png)")
find_program(SONAVUE_RSVG_CONVERT rsvg-convert REQUIRED) # Debian package librsvg2-bin

# --- Icons: each size rendered from the one drawing, none drawn by hand. ---
set(SONAVUE_ICON_SIZES 16 32 48 64 128 256)
set(icon_svg ${PROJECT_SOURCE_DIR}/assets/sonavue.svg)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(icon_pngs)
foreach(size IN LISTS SONAVUE_ICON_SIZES)
  set(png ${icon_dir}/${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
    COMMAND ${SONAVUE_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
    DEPENDS ${icon_svg}
    COMMENT "Rendering the ${size} px icon"
    VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME sonavue.png)
endforeach()
install(FILES ${icon_svg} DESTINATION share/icons/hicolor/scalable/apps)

# The window icon: the rendered sizes as resources, so no SVG loader is needed at run time.
add_library(sv_program_icon STATIC programicon.cpp programicon.h)
target_include_directories(sv_program_icon PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sv_program_icon PUBLIC Qt6::Gui)
qt_add_resources(sv_program_icon program_icon
  PREFIX /sonavue/icons BASE ${icon_dir} FILES ${icon_pngs})

# --- Desktop entry and AppStream metadata (its id and launchable name the entry). ---
install(FILES ${PROJECT_SOURCE_DIR}/assets/sonavue.desktop DESTINATION share/applications)
configure_file(${PROJECT_SOURCE_DIR}/assets/sonavue.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/sonavue.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/sonavue.metainfo.xml DESTINATION share/metainfo)

# --- Manual pages: plain roff, the version filled in. ---
foreach(page sonavue.1 sonavue-catalogue.1)
  configure_file(${PROJECT_SOURCE_DIR}/assets/man/${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
                 @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page} DESTINATION share/man/man1)
endforeach()
