# Settings files: parsing cost by file shape.
tess_add_bench(settings_bench SOURCES settings_bench.cpp LIBS tess_platform)
