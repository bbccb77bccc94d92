# The front end: the MainWindow with its controls and drop target, the start
# and the end of the program (Win32 on Windows, Qt Widgets on Linux), and the
# program itself.
tamsel_platform_sources(frontend_platform main_window label drop_target program_start program_end)
add_library(tamsel_app STATIC drop.cpp layout.cpp ${frontend_platform})
target_include_directories(tamsel_app PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tamsel_app PUBLIC tamsel_controls PRIVATE tamsel_warnings)

if(WIN32)
  target_link_libraries(tamsel_app PUBLIC ole32 uuid user32 gdi32 shell32)
  enable_language(RC)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
  add_executable(tamsel WIN32 main.cpp wiring.cpp tamsel.rc)
  set_source_files_properties(tamsel.rc PROPERTIES OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/res/tamsel.ico;${PROJECT_SOURCE_DIR}/res/tamsel.manifest")
else()
  target_link_libraries(tamsel_app PUBLIC Qt6::Widgets xcb)
  add_executable(tamsel main.cpp wiring.cpp)
  qt_add_resources(tamsel tamsel_icon PREFIX /icons BASE ${PROJECT_SOURCE_DIR}/res
                   FILES ${PROJECT_SOURCE_DIR}/res/tamsel-48.png ${PROJECT_SOURCE_DIR}/res/tamsel-256.png)
endif()
target_link_libraries(tamsel PRIVATE tamsel_app tamsel_settings tamsel_run tamsel_help tamsel_warnings)
