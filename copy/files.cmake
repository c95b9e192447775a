setup_sources(
    PORTABLE copy_logic.cpp
    WIN32 copy_dialog.cpp file_api.cpp file_replace.cpp lz_api.cpp progress_bar.cpp)
