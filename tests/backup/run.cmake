# The backup run, end to end on real folders and through the real MainWindow.
tamsel_test(run_backup_test NO_MAIN DISPLAY SOURCES run_backup_test.cpp LIBS tamsel_run tamsel_app tamsel_test_support)
if(WIN32)
  target_sources(run_backup_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/app/data_object_win32.cpp)
  target_include_directories(run_backup_test PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
  target_link_libraries(run_backup_test PRIVATE comctl32 user32 ole32)
else()
  target_link_libraries(run_backup_test PRIVATE Qt6::Widgets)
  # Without an application object the run works the same and shows nothing.
  tamsel_test(run_backup_headless_test SOURCES run_backup_headless_test.cpp LIBS tamsel_run tamsel_test_support)
endif()
