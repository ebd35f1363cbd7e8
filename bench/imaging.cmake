# Speed of the icon codec, PNG codec and the NeuQuant quantizer.
tess_add_bench(imaging_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/imaging_bench.cpp LIBS tess_imageio)
