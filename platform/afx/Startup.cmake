# What programs read at start-up: the system version and the command line.
target_sources(qlafx PRIVATE CommandLineInfo.cpp SystemVersion.cpp)
