# The hardening Debian builds its packages with (dpkg-buildflags): fortified libc calls, a stack
# protector, position-independent executables and read-only relocations bound at start.
# The sanitizer and fuzzing builds go without: they bring their own checks, and fortified
# calls would hide the sanitizers' own interceptors.
option(KORVEX_HARDEN "Build with the distribution's hardening flags" ON)
if(KORVEX_HARDEN AND NOT (KORVEX_SANITIZE OR KORVEX_TSAN OR KORVEX_FUZZ))
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  # The fortified calls need the optimiser; a Debug build only gets a warning from libc.
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
