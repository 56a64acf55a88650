# The hardening a distribution expects of a program that reads files from anywhere:
# checked buffer functions, a stack guard, a read-only relocation table bound at start,
# and a position-independent executable. Fortification needs optimisation, and the
# sanitizers do their own checking of the same calls.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(NOT MEKURI_SANITIZE)
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
add_compile_options(-fstack-protector-strong)
add_link_options("LINKER:-z,relro,-z,now")
