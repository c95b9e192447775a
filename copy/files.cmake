setup_sources(
    PORTABLE copy_logic.cpp
    WIN32 copy_dialog.cpp lz_api.cpp)
