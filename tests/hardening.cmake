# The program's defences: the DLL search restriction and bounded buffers.

# A DLL someone planted, and a probe that loads it with and without the
# program's start-up restriction.
add_library(planted SHARED hardening/planted_dll.cpp)
set_target_properties(planted PROPERTIES PREFIX "" OUTPUT_NAME planted)
target_compile_options(planted PRIVATE ${KALVORY_WARNINGS})
target_link_options(planted PRIVATE ${KALVORY_LINK_OPTIONS})

add_executable(dll_probe hardening/dll_probe.cpp)
target_compile_options(dll_probe PRIVATE ${KALVORY_WARNINGS} -municode)
target_link_options(dll_probe PRIVATE ${KALVORY_LINK_OPTIONS} -municode)
target_link_libraries(dll_probe PRIVATE kalvory_core)

add_test(NAME dll_planting
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/hardening/dll_planting.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
    $<TARGET_FILE:dll_probe> $<TARGET_FILE:planted>)
set_tests_properties(dll_planting PROPERTIES LABELS dll_planting)

# Fixed buffers driven with texts longer than they are.
kalvory_gtest(hardening_buffers hardening/test_buffers.cpp unit/support.cpp)

# A crash under Wine can leave its debugger waiting: fail instead of hanging.
set_tests_properties(dll_planting ${hardening_buffers_TESTS} PROPERTIES TIMEOUT 120)
