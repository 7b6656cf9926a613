# The ANSI code page's two-byte characters as a table compiled into vellumo_core
# (generated/ansitwobyte.inc, included by platform/ansi.cpp).
add_executable(vellumo_makeansitable ${CMAKE_CURRENT_LIST_DIR}/makeansitable.cpp)
target_link_libraries(vellumo_makeansitable PRIVATE Qt6::Core)
set(VELLUMO_ANSI_TABLE ${CMAKE_BINARY_DIR}/generated/ansitwobyte.inc)
add_custom_command(
    OUTPUT ${VELLUMO_ANSI_TABLE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:vellumo_makeansitable> ${VELLUMO_ANSI_TABLE}
    DEPENDS vellumo_makeansitable
    COMMENT "Writing the ANSI two-byte table"
    VERBATIM)
