# The main window widgets and the program entry.
add_library(tess_gui STATIC
  app_icon.cpp
  close_up_combo_box.h  # moc needs to see it: it has no source file
  command_states.cpp
  detail_texts.cpp
  dialogs.cpp
  form_tessarine.cpp
  image_to_qimage.cpp
  path_shortening.cpp
  preview_view.cpp
  program_entry.cpp
  shell_views.cpp
)
target_link_libraries(tess_gui PUBLIC tess_mainwindow_core tess_imageio tess_iconfile tess_app
  Qt6::Widgets)

add_executable(tessarine main.cpp)
target_link_libraries(tessarine PRIVATE tess_gui)

# Build tool: draws the application icon and writes it with the program's icon writer.
add_executable(tess_make_app_icon make_app_icon.cpp)
target_link_libraries(tess_make_app_icon PRIVATE tess_iconfile tess_imaging)
set_target_properties(tess_make_app_icon PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(_app_icon ${CMAKE_BINARY_DIR}/bin/icon.ico)
add_custom_command(
  OUTPUT ${_app_icon}
  COMMAND tess_make_app_icon ${_app_icon}
  DEPENDS tess_make_app_icon
  COMMENT "Drawing the application icon icon.ico"
  VERBATIM)
add_custom_target(tess_app_icon ALL DEPENDS ${_app_icon})
# The program needs both files beside it to start.
add_dependencies(tessarine tess_app_icon tess_product_settings)
