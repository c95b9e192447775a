setup_sources(WIN32 copy_dialog.cpp)
