# Menu, toolbar and region tables and the layout arithmetic: Qt Core only, so
# their tests also run in the sanitizer build.
add_library(client_mainwindow_logic STATIC
  MainLayout.cpp MainLayout.h MenuTable.cpp MenuTable.h
  RegionTable.cpp RegionTable.h ToolbarTable.cpp ToolbarTable.h)
target_include_directories(client_mainwindow_logic PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(client_mainwindow_logic PUBLIC client_common_core)

if(ORVANTA_GUI)
  if(WIN32)
    set(topmost_backend topmost_win.cpp)
  else()
    set(topmost_backend topmost_linux.cpp)
  endif()
  # The widgets built from those tables, the layout applied to widgets and
  # the keep-on-top switch.
  add_library(client_mainwindow_commands STATIC
    LayoutApply.cpp LayoutApply.h MenuBarBuilder.cpp MenuBarBuilder.h
    RegionLinks.cpp RegionLinks.h ToolbarBuilder.cpp ToolbarBuilder.h ToolbarImages.cpp
    Topmost.h ${topmost_backend})
  target_link_libraries(client_mainwindow_commands PUBLIC client_mainwindow_logic client_common)
endif()
