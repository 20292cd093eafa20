# The release package as a user gets it: checked against its sum, unpacked
# into a fresh folder, and its exe started from there.
set(KALVORY_UNPACKED ${CMAKE_BINARY_DIR}/package-unpacked)
add_test(NAME package_unpack
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package_unpack.sh ${KALVORY_PACKAGE} $<TARGET_FILE:Kalvory> ${KALVORY_UNPACKED})
set_tests_properties(package_unpack PROPERTIES FIXTURES_SETUP kalvory_package LABELS e2e_package)

kalvory_gtest(e2e_package e2e/e2e_package.cpp e2e/driver.cpp unit/support.cpp)
# Building the test packs the zip it unpacks.
add_dependencies(e2e_package kalvory_package)
set_tests_properties(${e2e_package_TESTS} PROPERTIES
  ENVIRONMENT "KALVORY_UNPACKED=${KALVORY_UNPACKED}" FIXTURES_REQUIRED kalvory_package RUN_SERIAL ON)
