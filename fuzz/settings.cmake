# Settings files: the profile-file rules and the product-settings lines.
tess_add_fuzzer(settings SOURCES settings_fuzz.cpp LIBS tess_app tess_platform)
