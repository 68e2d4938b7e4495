# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
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

# --- Desktop entry and AppStream metadata: one reverse-DNS id (SONAVUE_APP_ID, set in the
# top-level build file) names the entry, the metadata, the media controls' DesktopEntry and
# the windows' desktop file name. ---
# Both name the MIME types of the playable types: the entry as its MimeType value, the
# metadata as the media types it provides.
set(mime_types "")
set(SONAVUE_MEDIA_TYPES "")
foreach(type IN LISTS SONAVUE_PLAYABLE_TYPES)
  string(REGEX REPLACE "^[^=]*=" "" type_mime_types "${type}")
  string(REPLACE "," ";" type_mime_types "${type_mime_types}")
  foreach(mime_type IN LISTS type_mime_types)
    string(APPEND mime_types "${mime_type};")
    string(APPEND SONAVUE_MEDIA_TYPES "    <mediatype>${mime_type}</mediatype>\n")
  endforeach()
endforeach()
foreach(mime_type IN LISTS SONAVUE_PLAYLIST_MIME_TYPES)
  string(APPEND mime_types "${mime_type};")
  string(APPEND SONAVUE_MEDIA_TYPES "    <mediatype>${mime_type}</mediatype>\n")
endforeach()
# The entry names the launcher by its installed path, which only the install knows
# (cmake --install --prefix).
install(CODE "
  set(SONAVUE_DESKTOP_TEMPLATE [[${PROJECT_SOURCE_DIR}/assets/${SONAVUE_APP_ID}.desktop.in]])
  set(SONAVUE_DESKTOP_NAME [[${SONAVUE_APP_ID}.desktop]])
  set(SONAVUE_MIME_TYPES [[${mime_types}]])
  include([[${CMAKE_CURRENT_SOURCE_DIR}/desktopentry.cmake]])
")
configure_file(${PROJECT_SOURCE_DIR}/assets/${SONAVUE_APP_ID}.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/${SONAVUE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${SONAVUE_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Installed into a live prefix (not staged with DESTDIR for a package), the desktop learns
# of the new entry and icons at once: its file-type lookup offers Sonavue for audio files.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(update_desktop_database update-desktop-database)
    if(update_desktop_database)
      execute_process(COMMAND ${update_desktop_database} -q
                              "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
    find_program(update_icon_cache gtk-update-icon-cache)
    if(update_icon_cache)
      execute_process(COMMAND ${update_icon_cache} -q -t -f
                              "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor")
    endif()
  endif()
]])

# The uninstall removes what the last install of this build folder laid out (its
# install_manifest.txt), with the caches and folders made for it.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -P ${CMAKE_CURRENT_SOURCE_DIR}/uninstall.cmake
  COMMENT "Removing what the last install laid out"
  VERBATIM)

# --- Manual pages: plain roff, the version filled in. ---
foreach(page sonavue.1 sonavue-catalogue.1)
  configure_file(${PROJECT_SOURCE_DIR}/assets/man/${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
                 @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page} DESTINATION share/man/man1)
endforeach()
