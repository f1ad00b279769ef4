# The Windows build's libraries: static builds under CALCORA_WIN_DEPS (scripts/windows-deps.sh),
# offered under the same target names the Linux build gets from the system, so the rest of the
# build does not tell the platforms apart.
set(CALCORA_WIN_DEPS "" CACHE PATH "Prefix of the cross-built static libraries")
if(NOT CALCORA_WIN_DEPS)
  message(FATAL_ERROR "CALCORA_WIN_DEPS is not set: build with scripts/build-windows.sh")
endif()

function(calcora_win_library target)
  cmake_parse_arguments(ARG "" "" "LIBS;DEFINES;DEPS" ${ARGN})
  set(paths)
  foreach(lib ${ARG_LIBS})
    list(APPEND paths ${CALCORA_WIN_DEPS}/lib/lib${lib}.a)
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${CALCORA_WIN_DEPS}/include
    INTERFACE_LINK_LIBRARIES "${paths};${ARG_DEPS}" INTERFACE_COMPILE_DEFINITIONS "${ARG_DEFINES}")
endfunction()

set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
calcora_win_library(ZLIB::ZLIB LIBS z)
calcora_win_library(SQLite::SQLite3 LIBS sqlite3)
calcora_win_library(nlohmann_json::nlohmann_json)
calcora_win_library(EXPAT::EXPAT LIBS expat DEFINES XML_STATIC)
calcora_win_library(Freetype::Freetype LIBS freetype DEPS ZLIB::ZLIB)
set_property(TARGET Freetype::Freetype APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${CALCORA_WIN_DEPS}/include/freetype2)
calcora_win_library(PkgConfig::LIBZIP LIBS zip DEPS ZLIB::ZLIB bcrypt)
calcora_win_library(PkgConfig::XLSXWRITER LIBS xlsxwriter DEPS ZLIB::ZLIB)
calcora_win_library(PkgConfig::MICROHTTPD LIBS microhttpd DEPS ws2_32)
calcora_win_library(PkgConfig::HTTPLIB DEPS ws2_32 crypt32)
# What the Windows counterparts of the Linux libraries need from the system.
set(CALCORA_PLATFORM_LIBS winhttp shell32 ole32 ws2_32 user32)

# Each program carries its own C and C++ runtimes, so that a copied .exe runs alone.
add_link_options(-static -static-libgcc -static-libstdc++)
# Windows 10 and later.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
  _POSIX_THREAD_SAFE_FUNCTIONS=200112L)  # gmtime_r and localtime_r from the toolchain's C library
