# The entry controls: drop-down list, time entry, system volume bar and its timer.
add_library(controls_inputs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ctimer.cpp ${CMAKE_CURRENT_LIST_DIR}/ctimer.h
  ${CMAKE_CURRENT_LIST_DIR}/mastervolumemodel.cpp ${CMAKE_CURRENT_LIST_DIR}/mastervolumemodel.h
  ${CMAKE_CURRENT_LIST_DIR}/mastervolume.cpp ${CMAKE_CURRENT_LIST_DIR}/mastervolume.h
  ${CMAKE_CURRENT_LIST_DIR}/timecontrolmodel.cpp ${CMAKE_CURRENT_LIST_DIR}/timecontrolmodel.h
  ${CMAKE_CURRENT_LIST_DIR}/timecontrol.cpp ${CMAKE_CURRENT_LIST_DIR}/timecontrol.h
  ${CMAKE_CURRENT_LIST_DIR}/scomboboxmodel.cpp ${CMAKE_CURRENT_LIST_DIR}/scomboboxmodel.h
  ${CMAKE_CURRENT_LIST_DIR}/scombobox.cpp ${CMAKE_CURRENT_LIST_DIR}/scombobox.h
)
target_link_libraries(controls_inputs PUBLIC common platform Qt6::Widgets)
