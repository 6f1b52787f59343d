# The payload archive's entries, in archive order: "name=source" for a file,
# "name/" for a folder. The archive is built from this list, and the
# uninstaller has the names compiled in (PayloadEntryList.inc).
set(payload_source ${CMAKE_SOURCE_DIR}/payload)
set(PAYLOAD_ENTRIES
  lumi32.exe=$<TARGET_FILE:lumi32>
  lu_uninstall.exe=$<TARGET_FILE:lu_uninstall>
  lm_about.txt=${payload_source}/docs/lm_about.txt
  lm_changes.txt=${payload_source}/docs/lm_changes.txt
  lm_languages.txt=${payload_source}/docs/lm_languages.txt
  lm_options.txt=${payload_source}/docs/lm_options.txt
  lm_plugins.txt=${payload_source}/docs/lm_plugins.txt
  Languages/
  Languages/DEUTSCH.DLL=$<TARGET_FILE:DEUTSCH>
  Plugins/
  Plugins/Icons.dll=$<TARGET_FILE:Icons>
  Help/
  # No HTML Help compiler is at hand: the start page stands in for the help file.
  Help/lumi32_deutsch.chm=${payload_source}/Html/lumidor.htm
  Html/
  Html/lumidor.htm=${payload_source}/Html/lumidor.htm
  Toolbars/
  Toolbars/gnome-colors-human_48.png=${PICTURES_DIR}/gnome-colors-human_48.png
  Toolbars/gnome-colors-wise_32.png=${PICTURES_DIR}/gnome-colors-wise_32.png
  Toolbars/Corvane_24.png=${PICTURES_DIR}/Corvane_24.png
  Toolbars/Tessel_16.png=${PICTURES_DIR}/Tessel_16.png
)

set(PAYLOAD_ENTRY_LIST ${CMAKE_BINARY_DIR}/payload/PayloadEntryList.inc)
set(entry_lines "// Generated from payload/Entries.cmake.\n")
foreach(entry ${PAYLOAD_ENTRIES})
  string(REGEX REPLACE "=.*$" "" entry_name "${entry}")
  string(APPEND entry_lines "L\"${entry_name}\",\n")
endforeach()
file(CONFIGURE OUTPUT ${PAYLOAD_ENTRY_LIST} CONTENT "${entry_lines}")
