# Tests of the self-contained window pieces (library sv_ui_parts).
sonavue_add_test(test_parts_fade
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_fade.cpp LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_colours
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_colours.cpp LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_splash
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_splash.cpp ${CMAKE_CURRENT_LIST_DIR}/parts_cards.h
  LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_tagwindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_tagwindow.cpp ${CMAKE_CURRENT_LIST_DIR}/parts_cards.h
  LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_background
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_background.cpp LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_transportbar
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_transportbar.cpp LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_imagebutton
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_imagebutton.cpp LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_folderchooser
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_folderchooser.cpp LIBS sv_ui_parts LABELS gui)
# The fade test again on a real X server, where the window system's output queue matters.
find_program(SONAVUE_XVFB_RUN xvfb-run)
if(SONAVUE_XVFB_RUN)
  add_test(NAME test_parts_fade_x11
    COMMAND ${SONAVUE_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:test_parts_fade>)
  set_tests_properties(test_parts_fade_x11 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" LABELS gui)
endif()
# At twice the pixel density: the pictures, and palette clicks through the main window.
sonavue_add_test(test_parts_density
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_density.cpp LIBS sv_ui LABELS gui)
