# tessarine-cli frames and convert, run in-process from their own source.
tess_add_test(cli_image_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_commands_test.cpp ${CMAKE_CURRENT_LIST_DIR}/../../src/cli/cmd_image.cpp
  LIBS tess_imageio)
