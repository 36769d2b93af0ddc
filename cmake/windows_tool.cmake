# yg_windows_tool(<target> <source>...): one of the Windows test and benchmark programs. Static,
# so that Wine needs no MinGW runtime DLLs; Unicode, with wWinMain or wmain as entry point
# (-municode); stripped and hardened like the panel.
function(yg_windows_tool target)
  add_executable(${target} ${ARGN})
  target_compile_options(${target} PRIVATE -municode)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${target} PRIVATE -static -s -municode -Wl,--nxcompat,--dynamicbase,--high-entropy-va)
endfunction()
