orvanta_add_test(test_layout SOURCES test_layout.cpp LIBS client_mainwindow_logic)
orvanta_add_test(test_command_tables SOURCES test_command_tables.cpp LIBS client_mainwindow_logic)
orvanta_add_test(test_command_widgets SOURCES test_command_widgets.cpp
                 LIBS client_mainwindow_commands GUI)
orvanta_add_test(test_commands GUI SOURCES test_commands.cpp Fakes.h LIBS client_mainwindow)
