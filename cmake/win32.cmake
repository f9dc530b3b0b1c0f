# The Windows program: thin Win32 adapters around the core, and the executable.
enable_language(RC)

set(DOVREL_WIN32_DEFINES
  _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 UNICODE _UNICODE
  NOMINMAX WIN32_LEAN_AND_MEAN)
target_compile_definitions(dovrel_core PUBLIC ${DOVREL_WIN32_DEFINES})

file(GLOB DOVREL_WIN32_SOURCES CONFIGURE_DEPENDS
  app/win32/*.cpp gate/win32/*.cpp ui/win32/*.cpp viewer/win32/*.cpp repair/win32/*.cpp
  platform/win32/*.cpp)
list(FILTER DOVREL_WIN32_SOURCES EXCLUDE REGEX "/app/win32/(program_main|quiet_terminate|runtime_locks)\\.cpp$")

# The donation picture is kept as a GIF; the program shows a plain bitmap
# derived from it, which GDI draws without a decoder.
find_program(DOVREL_CONVERT convert PATHS /usr/bin NO_DEFAULT_PATH) # others may shadow it in PATH
find_program(DOVREL_CONVERT convert REQUIRED)
set(DOVREL_PICTURE ${PROJECT_SOURCE_DIR}/ui/win32/donate.gif)
set(DOVREL_PICTURE_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/generated/donate_picture_data.cpp)
add_custom_command(OUTPUT ${DOVREL_PICTURE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -DCONVERT=${DOVREL_CONVERT} -DINPUT=${DOVREL_PICTURE}
    -DOUTPUT=${DOVREL_PICTURE_SOURCE} -DNAME=kDonatePictureDib
    -DHEADER=ui/win32/donate_picture_data.h -P ${PROJECT_SOURCE_DIR}/cmake/embed-bitmap.cmake
  DEPENDS ${DOVREL_PICTURE} ${PROJECT_SOURCE_DIR}/cmake/embed-bitmap.cmake
  COMMENT "Deriving the donation picture's bitmap from donate.gif")
list(APPEND DOVREL_WIN32_SOURCES ${DOVREL_PICTURE_SOURCE})

add_library(dovrel_win32 STATIC ${DOVREL_WIN32_SOURCES})
target_link_libraries(dovrel_win32 PUBLIC dovrel_core)
target_compile_options(dovrel_win32 PRIVATE ${DOVREL_WARNINGS})
# comctl32, comdlg32, shell32 and ole32 are not linked: they are loaded on
# first use, by full path.
target_link_libraries(dovrel_win32 PUBLIC version advapi32 gdi32 user32 kernel32)

add_executable(Dovrel WIN32 app/win32/program_main.cpp app/win32/quiet_terminate.cpp
  app/win32/runtime_locks.cpp app/win32/dovrel.rc)
target_link_libraries(Dovrel PRIVATE dovrel_win32)
target_compile_options(Dovrel PRIVATE ${DOVREL_WARNINGS})

# Static: no libstdc++/libgcc/libwinpthread DLLs. Subsystem 5.01 so XP loads it.
set(DOVREL_MINGW_LINK
  -static -municode
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,1
  -Wl,--major-os-version,5,--minor-os-version,1
  -Wl,--gc-sections)
target_compile_options(dovrel_core PUBLIC -ffunction-sections -fdata-sections)
# Optimised for size: a fifth smaller, and no slower to start.
# No locks around function-local statics: the program runs one thread (the
# system calls its window and dialog procedures on it), and newer runtimes
# build those locks on condition variables, which XP's kernel32 lacks.
foreach(target dovrel_core dovrel_win32 Dovrel)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os> -fno-threadsafe-statics)
endforeach()
target_link_options(Dovrel PRIVATE ${DOVREL_MINGW_LINK} $<$<CONFIG:Release>:-s>)

# Reproducible: the same source gives the same bytes wherever and whenever it
# is built, so anyone can check a copy. The header gets no link time, and
# __FILE__ (assert) names files relative to the project, not the build machine.
target_link_options(Dovrel PRIVATE -Wl,--no-insert-timestamp)
foreach(target dovrel_core dovrel_win32 Dovrel)
  target_compile_options(${target} PRIVATE
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endforeach()

# An exe that XP's loader would refuse never leaves the build: whatever the
# toolchain links in, every import must be one XP exports.
add_custom_command(TARGET Dovrel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${CMAKE_OBJDUMP}
    ${PROJECT_SOURCE_DIR}/tools/exe-checks/check-xp-imports.sh --remove-on-failure $<TARGET_FILE:Dovrel>
  VERBATIM)
