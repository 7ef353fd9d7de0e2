# orvanta_add_test(NAME SOURCES ... LIBS ... [GUI] [WEB] [TIMEOUT s])
#   Logic tests (no GUI flag) also run in the sanitizer build.
#   GUI tests run on the offscreen platform; WEB tests also get a sandbox-free
#   Chromium, which CI needs because it runs as root.
function(orvanta_add_test name)
  cmake_parse_arguments(T "GUI;WEB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if((T_GUI OR T_WEB) AND NOT ORVANTA_GUI)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE project_policy Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen")
  set(labels logic)
  if(T_GUI OR T_WEB)
    set(labels gui)
    # Every text must come from the programs, none from the system's locale.
    list(APPEND env "LANG=C" "LC_ALL=C")
  endif()
  if(T_WEB)
    list(APPEND env "QTWEBENGINE_DISABLE_SANDBOX=1"
         "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox")
    list(APPEND labels web)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" LABELS "${labels}"
                       TIMEOUT ${T_TIMEOUT})
endfunction()
