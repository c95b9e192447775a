setup_sources()
