# The desktop program that shows the page in an application window of the installed browser,
# with the loopback host inside it: calcora.exe on Windows. Its platform-free rules build (and
# are tested) everywhere; the program itself only where its platform file exists.
file(GLOB CALCORA_BROWSER_SHELL_SOURCES CONFIGURE_DEPENDS src/app/browser_shell/*.cpp)
list(REMOVE_ITEM CALCORA_BROWSER_SHELL_SOURCES ${CMAKE_SOURCE_DIR}/src/app/browser_shell/main.cpp)
if(WIN32)
  list(FILTER CALCORA_BROWSER_SHELL_SOURCES EXCLUDE REGEX "_linux\\.cpp$")
else()
  list(FILTER CALCORA_BROWSER_SHELL_SOURCES EXCLUDE REGEX "_windows\\.cpp$")
endif()
add_library(calcora_browser_shell STATIC ${CALCORA_BROWSER_SHELL_SOURCES})
target_link_libraries(calcora_browser_shell PUBLIC calcora_core)
if(TARGET calcora_tests)
  target_link_libraries(calcora_tests PRIVATE calcora_browser_shell calcora_host)
endif()

if(WIN32)
  enable_language(RC)
  target_link_libraries(calcora_browser_shell PUBLIC ole32 shell32 user32 advapi32 uuid)
  add_executable(calcora WIN32 src/app/browser_shell/main.cpp)
  target_link_libraries(calcora PRIVATE calcora_browser_shell calcora_host)
  # Tests only: a browser that loads the page's address, answers one command and waits to be
  # "closed", so the program's launch can be tested where no real browser runs.
  add_executable(calcora_stand_in_browser tests/windows/stand_in_browser.cpp)
  target_link_libraries(calcora_stand_in_browser PRIVATE PkgConfig::HTTPLIB calcora_core)
endif()

# Version information, the icon and the manifest go into every program of the Windows build.
if(WIN32)
  set(CALCORA_RC_DIR ${CMAKE_SOURCE_DIR}/resources/windows)
  foreach(target calcora calcora-serve calcora_tests calcora_stand_in_browser)
    if(TARGET ${target})
      set(CALCORA_RC_NAME ${target})
      configure_file(${CALCORA_RC_DIR}/calcora.rc.in ${CMAKE_BINARY_DIR}/generated/${target}.rc @ONLY)
      target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/${target}.rc)
      set_property(SOURCE ${CMAKE_BINARY_DIR}/generated/${target}.rc APPEND PROPERTY OBJECT_DEPENDS
        ${CALCORA_RC_DIR}/calcora.ico ${CALCORA_RC_DIR}/calcora.manifest)
    endif()
  endforeach()
endif()
