# The release package: build/Kalvory-<version>-win32.zip with the exe and a
# README for the user, and its .sha256. Not part of every build; the package
# test and "make package" ask for it.
set(KALVORY_PACKAGE ${CMAKE_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}-win32.zip)
add_custom_command(
  OUTPUT ${KALVORY_PACKAGE} ${KALVORY_PACKAGE}.sha256
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/make_package.py
    ${PROJECT_VERSION} $<TARGET_FILE:Kalvory> ${CMAKE_SOURCE_DIR}/packaging/README.txt ${KALVORY_PACKAGE}
  DEPENDS Kalvory ${CMAKE_SOURCE_DIR}/scripts/make_package.py ${CMAKE_SOURCE_DIR}/packaging/README.txt
  COMMENT "Packing ${PROJECT_NAME}-${PROJECT_VERSION}-win32.zip")
add_custom_target(kalvory_package DEPENDS ${KALVORY_PACKAGE} ${KALVORY_PACKAGE}.sha256)
