setup_sources(
    PORTABLE inf_text.cpp
    WIN32 setup_info.cpp)
