# Generated settings files through the real load and save, the same files
# through the real exe, and a long run of face rebuilds.
kalvory_gtest(unit_campaign unit/test_campaign.cpp unit/ini_campaign.cpp unit/support.cpp)
set_tests_properties(${unit_campaign_TESTS} PROPERTIES TIMEOUT 600)

# The real exe allows a single instance per session: one test at a time.
kalvory_gtest(e2e_campaign e2e/e2e_campaign.cpp e2e/driver.cpp unit/support.cpp unit/ini_campaign.cpp)
add_dependencies(e2e_campaign Kalvory)
set_tests_properties(${e2e_campaign_TESTS} PROPERTIES
  ENVIRONMENT "KALVORY_EXE=$<TARGET_FILE:Kalvory>" RUN_SERIAL ON)

kalvory_gtest(unit_soak unit/test_soak.cpp unit/support.cpp)
set_tests_properties(${unit_soak_TESTS} PROPERTIES TIMEOUT 1200)
