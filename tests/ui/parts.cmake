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
sonavue_add_test(test_parts_imagebutton
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_imagebutton.cpp LIBS sv_ui_parts LABELS gui)
sonavue_add_test(test_parts_folderchooser
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_parts_folderchooser.cpp LIBS sv_ui_parts LABELS gui)
