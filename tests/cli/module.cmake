# tessarine-cli stats and tree, run as a separate process on built modules.
tess_add_test(cli_module_test
  SOURCES module_commands_test.cpp
  LIBS tess_platform)
add_dependencies(cli_module_test tessarine-cli)
target_compile_definitions(cli_module_test PRIVATE TESS_CLI="$<TARGET_FILE:tessarine-cli>")
