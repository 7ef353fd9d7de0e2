orvanta_add_test(test_layout SOURCES test_layout.cpp LIBS client_mainwindow_logic)
orvanta_add_test(test_command_tables SOURCES test_command_tables.cpp LIBS client_mainwindow_logic)
orvanta_add_test(test_command_widgets SOURCES test_command_widgets.cpp
                 LIBS client_mainwindow_commands GUI)
orvanta_add_test(test_commands GUI SOURCES test_commands.cpp Fakes.h LIBS client_mainwindow client_web)

# The real panes against the demo portal, once the client has one.
if(TARGET client_mainwindow AND TARGET demo-portal AND
   EXISTS ${CMAKE_SOURCE_DIR}/tests/client_common/DemoPortalProcess.h)
  orvanta_add_test(test_commands_portal WEB TIMEOUT 300 SOURCES test_commands_portal.cpp
                   LIBS client_mainwindow client_web)
  target_include_directories(test_commands_portal PRIVATE ${CMAKE_SOURCE_DIR}/tests/client_common)
  target_compile_definitions(test_commands_portal PRIVATE
                             DEMO_PORTAL_BINARY="$<TARGET_FILE:demo-portal>")
  add_dependencies(test_commands_portal demo-portal)
endif()
