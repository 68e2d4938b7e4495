# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Tests of the self-contained window pieces (library sv_ui_parts).
foreach(part fade colours splash tagcard background transportbar imagebutton folderchooser)
  sonavue_add_test(test_ui_parts_${part}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ui_parts_${part}.cpp ${CMAKE_CURRENT_LIST_DIR}/parts_cards.h
    LIBS sv_ui_parts LABELS gui)
endforeach()
# The fade test again on a real X server, where the window system's output queue matters.
find_program(SONAVUE_XVFB_RUN xvfb-run)
if(SONAVUE_XVFB_RUN)
  add_test(NAME test_ui_parts_fade_x11
    COMMAND ${SONAVUE_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:test_ui_parts_fade>)
  sonavue_test_limits(test_ui_parts_fade_x11 gui "")
  set_property(TEST test_ui_parts_fade_x11 APPEND PROPERTY ENVIRONMENT "QT_QPA_PLATFORM=xcb")
  # The cards' shape on a plain X server, without a compositor or a window manager.
  add_test(NAME test_ui_parts_splash_x11
    COMMAND ${SONAVUE_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:test_ui_parts_splash>
      onlyTheRoundedBodyShows)
  sonavue_test_limits(test_ui_parts_splash_x11 gui "")
  set_property(TEST test_ui_parts_splash_x11 APPEND PROPERTY ENVIRONMENT "QT_QPA_PLATFORM=xcb")
endif()
# At twice the pixel density: the pictures, and palette clicks through the main window.
sonavue_add_test(test_ui_parts_density
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ui_parts_density.cpp LIBS sv_ui LABELS gui)
