# The module resource reader on arbitrary bytes.
tess_add_fuzzer(module SOURCES ${CMAKE_CURRENT_LIST_DIR}/module_fuzz.cpp LIBS tess_resources)
