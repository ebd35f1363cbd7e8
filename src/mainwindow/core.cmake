# Non-GUI logic of the main window: name routines and the resource tree model.
add_library(tess_mainwindow_core STATIC
  name_routines.cpp
  resource_tree_model.cpp
)
target_link_libraries(tess_mainwindow_core PUBLIC tess_resources tess_imageio tess_app tess_platform)
