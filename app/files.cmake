setup_sources(
    PORTABLE os_table.cpp
    WIN32 setup_state.cpp startup.cpp sequencer.cpp)
