setup_sources(WIN32 spooler_api.cpp registration.cpp default_printer.cpp port_names.cpp
              kept_records.cpp put_back.cpp)
