setup_sources(WIN32 registration.cpp default_printer.cpp)
