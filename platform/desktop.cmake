# Desktop services: run-at-log-on entries and starting programs.
add_library(platform_desktop STATIC
  autostart.cpp autostart.h
  launcher.cpp launcher.h
)
target_link_libraries(platform_desktop PUBLIC common Qt6::Core Qt6::Gui)
