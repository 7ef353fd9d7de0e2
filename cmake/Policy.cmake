# Compile policy shared by every target of ours.
add_library(project_policy INTERFACE)
target_compile_features(project_policy INTERFACE cxx_std_20)
target_compile_options(project_policy INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(project_policy INTERFACE
  PROJECT_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  PROJECT_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  PROJECT_VERSION_PATCH=${PROJECT_VERSION_PATCH}
  PROJECT_VERSION_STRING="${PROJECT_VERSION}")

if(ORVANTA_SANITIZE)
  target_compile_options(project_policy INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(project_policy INTERFACE -fsanitize=address,undefined)
endif()
