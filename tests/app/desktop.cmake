# Tests of the desktop integration: MPRIS on a private session bus, one instance per user
# (two real processes), and the installed program.
if(SONAVUE_GUI)
  # sonavue_add_bus_test(NAME SOURCES ... LIBS ...): a Qt Test program run on a private
  # session bus of its own (dbus-run-session), labelled gui.
  function(sonavue_add_bus_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND dbus-run-session -- $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SONAVUE_SOURCE_DIR=${PROJECT_SOURCE_DIR};SONAVUE_BUILD_DIR=${CMAKE_BINARY_DIR}"
      LABELS gui TIMEOUT 240)
  endfunction()

  sonavue_add_bus_test(test_app_mpris
    SOURCES test_app_mpris.cpp ${PROJECT_SOURCE_DIR}/tests/playback/audiofiles.cpp
    LIBS sv_desktop)

  # Starts the real player twice, so it needs the player built.
  sonavue_add_bus_test(test_app_singleinstance
    SOURCES test_app_singleinstance.cpp
    LIBS sv_desktop)
  add_dependencies(test_app_singleinstance Sonavue)

  sonavue_add_test(test_app_install SOURCES test_app_install.cpp LIBS Qt6::Core LABELS gui install)
  target_compile_definitions(test_app_install PRIVATE SONAVUE_CMAKE_COMMAND="${CMAKE_COMMAND}")
  add_dependencies(test_app_install Sonavue sonavue-catalogue)
  set_tests_properties(test_app_install PROPERTIES TIMEOUT 240)
endif()

if(SONAVUE_GUI)
  # The real player as a process: command-line answers, quit signals, its settings name.
  sonavue_add_test(test_app_programprocess SOURCES test_app_programprocess.cpp LIBS sv_desktop
                   LABELS gui)
  add_dependencies(test_app_programprocess Sonavue)
  set_tests_properties(test_app_programprocess PROPERTIES TIMEOUT 300)
endif()

if(SONAVUE_GUI)
  # The window icon built into the program from the rendered icon sizes.
  sonavue_add_test(test_app_programicon SOURCES test_app_programicon.cpp LIBS sv_program_icon
                   LABELS gui)
endif()
