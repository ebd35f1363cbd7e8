# Opening modules and counting one selection's resources.
tess_add_bench(resources_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/resources_bench.cpp
  LIBS tess_resources tess_testsupport)
