# The real exe under faults from outside: a vanished, locked or read-only
# settings file, a storm of starts, a killed process.
kalvory_gtest(e2e_faults e2e/e2e_faults.cpp e2e/driver.cpp unit/support.cpp)
add_dependencies(e2e_faults Kalvory)
set_tests_properties(${e2e_faults_TESTS} PROPERTIES
  ENVIRONMENT "KALVORY_EXE=$<TARGET_FILE:Kalvory>" RUN_SERIAL ON)
