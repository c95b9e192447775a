setup_sources(
    PORTABLE os_table.cpp sequence_logic.cpp
    WIN32 setup_state.cpp startup.cpp sequencer.cpp system_libraries.cpp run_end.cpp)
