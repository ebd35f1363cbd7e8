add_library(tess_mainwindow_core STATIC
  name_routines.cpp
)
target_link_libraries(tess_mainwindow_core PUBLIC tess_resources tess_imageio tess_app tess_platform)
