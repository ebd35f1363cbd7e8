# Fuzz targets of the icon codec and the image loaders.
tess_add_fuzzer(icon_frame SOURCES ${CMAKE_CURRENT_LIST_DIR}/icon_frame_fuzz.cpp LIBS tess_iconfile)
tess_add_fuzzer(image_load SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_load_fuzz.cpp LIBS tess_imageio)
