# The backup run: the handler of a drop, with the archive progress window.
tamsel_platform_sources(run_platform entry_exists progress_window)
add_library(tamsel_run STATIC run_backup.cpp ${run_platform})
target_include_directories(tamsel_run PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tamsel_run PUBLIC tamsel_names tamsel_shell tamsel_archive tamsel_controls
                      PRIVATE tamsel_warnings)
if(WIN32)
  target_link_libraries(tamsel_run PRIVATE comctl32 user32)
else()
  target_link_libraries(tamsel_run PRIVATE Qt6::Widgets)
endif()
