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

# Optimised builds are the ones that get packaged: the distribution's usual
# hardening (fortified libc calls, stack protector, read-only relocations).
if(NOT ORVANTA_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT WIN32)
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  target_compile_options(project_policy INTERFACE
    "$<${optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>" -fstack-protector-strong)
  target_link_options(project_policy INTERFACE "LINKER:-z,relro" "LINKER:-z,now")
endif()
