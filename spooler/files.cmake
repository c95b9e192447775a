setup_sources(WIN32 spooler_api.cpp registration.cpp default_printer.cpp kept_records.cpp)
