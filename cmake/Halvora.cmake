# Shared build helpers.

function(halvora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# halvora_add_library(name SOURCES ... LIBS ...): one static library per subsystem folder.
function(halvora_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  halvora_warnings(${name})
endfunction()

# halvora_add_test(name SOURCES ... LIBS ... [DBUS] [XVFB | SWAY KWIN] [SUONO] [TIMEOUT s] [LABELS ...])
# DBUS runs the test inside its own session bus; XVFB runs it on a virtual X
# display with a compositor and a window manager; SWAY inside a headless
# sway session and KWIN inside a KWin session on its virtual backend, on
# their XWayland display and session bus, with the pointer tool in
# HALVORA_PUNTATORE_WL (both flags: two tests, <name>_sway and
# <name>_kwin); otherwise it runs offscreen. SUONO gives it a private sound
# server whose microphone hears a steady tone.
function(halvora_add_test name)
  cmake_parse_arguments(A "DBUS;XVFB;SWAY;KWIN;SUONO" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test halvora_testsupport ${A_LIBS})
  halvora_warnings(${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  set(cmd $<TARGET_FILE:${name}>)
  if(A_SWAY OR A_KWIN)
    # The sessions' own user writes the pictures and runs the bus.
    add_dependencies(${name} halvora-puntatore-wl)
    set(env "HALVORA_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output/wayland"
            "HALVORA_PUNTATORE_WL=$<TARGET_FILE:halvora-puntatore-wl>")
    foreach(compositore sway kwin)
      string(TOUPPER ${compositore} flag)
      if(NOT A_${flag})
        continue()
      endif()
      set(nome ${name})
      if(A_SWAY AND A_KWIN)
        set(nome ${name}_${compositore})
      endif()
      add_test(NAME ${nome} COMMAND ${CMAKE_SOURCE_DIR}/scripts/con-${compositore}.sh ${cmd})
      set_tests_properties(${nome} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
    endforeach()
    return()
  endif()
  if(A_XVFB)
    set(cmd ${CMAKE_SOURCE_DIR}/scripts/con-xvfb.sh ${cmd})
  endif()
  # A sound server with a microphone, which needs a session bus of its own.
  if(A_SUONO)
    set(cmd ${CMAKE_SOURCE_DIR}/scripts/con-suono.sh ${cmd})
  endif()
  if(A_DBUS OR A_SUONO)
    set(cmd dbus-run-session -- ${cmd})
  endif()
  add_test(NAME ${name} COMMAND ${cmd})
  set(env "HALVORA_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output")
  if(NOT A_XVFB)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
endfunction()

# Every *_<lang>.ts under Resources/translations is embedded in `target`
# under :/i18n as it stands, one table per area of the application: the
# program reads the entries by their key alone, whatever context lists them.
function(halvora_add_translations target)
  set(dir ${CMAKE_SOURCE_DIR}/Halvora_V2_0/Resources/translations)
  file(GLOB ts_files CONFIGURE_DEPENDS ${dir}/*.ts)
  qt_add_resources(${target} halvora_traduzioni PREFIX /i18n BASE ${dir} FILES ${ts_files})
endfunction()

# The application's bundle folder: the application and every helper
# executable it starts lie side by side in it, so each finds the others
# beside itself wherever the bundle is copied.
set(HALVORA_BUNDLE_DIR ${CMAKE_BINARY_DIR}/Halvora.app)
# The bundle is what a user installs and an update carries: its executables
# hold no debug information, which stays apart in <build>/simboli
# (gdb -s build/simboli/halvora.debug build/Halvora.app/halvora).
# A build whose reports need the symbols in place (sanitizers) turns it off.
option(HALVORA_SIMBOLI_A_PARTE "Strip the bundle's executables, debug information in <build>/simboli" ON)
set(HALVORA_SIMBOLI_DIR ${CMAKE_BINARY_DIR}/simboli)
function(halvora_bundle_executable target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HALVORA_BUNDLE_DIR})
  set_property(GLOBAL APPEND PROPERTY HALVORA_BUNDLE_ESEGUIBILI ${target})
  if(NOT HALVORA_SIMBOLI_A_PARTE)
    return()
  endif()
  file(MAKE_DIRECTORY ${HALVORA_SIMBOLI_DIR})
  set(simboli ${HALVORA_SIMBOLI_DIR}/${target}.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${simboli}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${simboli} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# The bundle's Info.json: who it is, its version, the Debian architecture it
# was built for and the executable that starts it.
set(HALVORA_IDENTIFICATORE "Marvessi.Halvora-V2-0")
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE HALVORA_ARCHITETTURA
  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT HALVORA_ARCHITETTURA)
  set(HALVORA_ARCHITETTURA ${CMAKE_SYSTEM_PROCESSOR})
endif()
file(CONFIGURE OUTPUT ${HALVORA_BUNDLE_DIR}/Info.json @ONLY CONTENT [[{
    "identificatore": "@HALVORA_IDENTIFICATORE@",
    "versione": "@HALVORA_VERSIONE@",
    "architettura": "@HALVORA_ARCHITETTURA@",
    "eseguibile": "halvora"
}
]])

# The Ed25519 public key (64 hex digits) whose signature makes a bundle
# valid, for the quarantine service and the updater. Empty: no bundle is.
set(HALVORA_CHIAVE_FIRMA "" CACHE STRING "Public key that signs released bundles, in hex")
string(LENGTH "${HALVORA_CHIAVE_FIRMA}" _cifre)
if(NOT (_cifre EQUAL 0 OR (_cifre EQUAL 64 AND HALVORA_CHIAVE_FIRMA MATCHES "^[0-9a-fA-F]+$")))
  message(FATAL_ERROR "HALVORA_CHIAVE_FIRMA must be empty or 64 hex digits")
endif()

# halvora_protocollo_wayland(target xml): the client code of a Wayland
# protocol written into the tree, generated with wayland-scanner and built
# into `target`, whose sources include "<name>-client-protocol.h".
function(halvora_protocollo_wayland target xml)
  find_program(HALVORA_WAYLAND_SCANNER wayland-scanner REQUIRED)
  get_filename_component(nome ${xml} NAME_WE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/protocolli)
  add_custom_command(OUTPUT ${dir}/${nome}-client-protocol.h ${dir}/${nome}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${HALVORA_WAYLAND_SCANNER} client-header ${xml} ${dir}/${nome}-client-protocol.h
    COMMAND ${HALVORA_WAYLAND_SCANNER} private-code ${xml} ${dir}/${nome}-protocol.c
    DEPENDS ${xml} VERBATIM)
  target_sources(${target} PRIVATE ${dir}/${nome}-client-protocol.h ${dir}/${nome}-protocol.c)
  target_include_directories(${target} PRIVATE ${dir})
endfunction()
