# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
add_library(sv_ui_parts STATIC
  ${CMAKE_CURRENT_LIST_DIR}/backgroundwindow.cpp ${CMAKE_CURRENT_LIST_DIR}/backgroundwindow.h
  ${CMAKE_CURRENT_LIST_DIR}/cardwindow.cpp ${CMAKE_CURRENT_LIST_DIR}/cardwindow.h
  ${CMAKE_CURRENT_LIST_DIR}/colours.cpp ${CMAKE_CURRENT_LIST_DIR}/colours.h
  ${CMAKE_CURRENT_LIST_DIR}/fadingcard.cpp ${CMAKE_CURRENT_LIST_DIR}/fadingcard.h
  ${CMAKE_CURRENT_LIST_DIR}/fadesequence.cpp ${CMAKE_CURRENT_LIST_DIR}/fadesequence.h
  ${CMAKE_CURRENT_LIST_DIR}/findfield.cpp ${CMAKE_CURRENT_LIST_DIR}/findfield.h
  ${CMAKE_CURRENT_LIST_DIR}/folderchooser.cpp ${CMAKE_CURRENT_LIST_DIR}/folderchooser.h
  ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp ${CMAKE_CURRENT_LIST_DIR}/fonts.h
  ${CMAKE_CURRENT_LIST_DIR}/imagebutton.cpp ${CMAKE_CURRENT_LIST_DIR}/imagebutton.h
  ${CMAKE_CURRENT_LIST_DIR}/keyboardaccess.cpp ${CMAKE_CURRENT_LIST_DIR}/keyboardaccess.h
  ${CMAKE_CURRENT_LIST_DIR}/palettepicture.cpp ${CMAKE_CURRENT_LIST_DIR}/palettepicture.h
  ${CMAKE_CURRENT_LIST_DIR}/readablestyle.cpp ${CMAKE_CURRENT_LIST_DIR}/readablestyle.h
  ${CMAKE_CURRENT_LIST_DIR}/splashcard.cpp ${CMAKE_CURRENT_LIST_DIR}/splashcard.h
  ${CMAKE_CURRENT_LIST_DIR}/tagcard.cpp ${CMAKE_CURRENT_LIST_DIR}/tagcard.h
  ${CMAKE_CURRENT_LIST_DIR}/transportbar.cpp ${CMAKE_CURRENT_LIST_DIR}/transportbar.h
  ${CMAKE_CURRENT_LIST_DIR}/x11window.cpp ${CMAKE_CURRENT_LIST_DIR}/x11window.h
)
target_include_directories(sv_ui_parts PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sv_ui_parts PUBLIC sv_playback_control sv_tags sv_base Qt6::Widgets)
# The window-manager states the toolkit has no word for are set on the X server directly.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
target_link_libraries(sv_ui_parts PUBLIC PkgConfig::XCB)
