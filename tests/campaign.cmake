# Generated settings files through the real load and save, the same files
# through the real exe, and a long run of face rebuilds.
kalvory_gtest(unit_campaign unit/test_campaign.cpp unit/ini_campaign.cpp unit/support.cpp)
set_tests_properties(${unit_campaign_TESTS} PROPERTIES TIMEOUT 600)

