setup_sources(PORTABLE common_texts.cpp)
