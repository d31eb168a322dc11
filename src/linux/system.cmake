# The Linux edition's files, settings, logon entry and process: POSIX and
# XDG only, no X11.
add_library(quellgate_linux_system STATIC
  ${CMAKE_CURRENT_LIST_DIR}/file_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_at_logon.cpp)
target_link_libraries(quellgate_linux_system PUBLIC quellgate_core)
