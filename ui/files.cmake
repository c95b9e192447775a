setup_sources(
    PORTABLE ui_logic.cpp icon_list_logic.cpp
    WIN32 message_dialog.cpp icon_list.cpp pages.cpp)
