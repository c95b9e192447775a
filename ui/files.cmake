setup_sources(
    PORTABLE ui_logic.cpp
    WIN32 message_dialog.cpp pages.cpp)
