# The Windows zip (and, where makensis is installed, an installer): the two
# programs and the notes for Windows users. The stand-in library goes into a
# folder of its own with a note saying what it is, so that it cannot be taken
# for the logger maker's library.
install(TARGETS quillon-convert RUNTIME DESTINATION .)
if(TARGET quillon-geotag)
  install(TARGETS quillon-geotag RUNTIME DESTINATION .)
endif()
if(TARGET quillon)
  # Windows users know the program by its capitalised name.
  set_target_properties(quillon PROPERTIES OUTPUT_NAME Quillon)
  install(TARGETS quillon RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README-Windows.txt ${PROJECT_SOURCE_DIR}/packaging/THIRD-PARTY-NOTICES.txt
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(TARGETS ORVEX_DLL RUNTIME DESTINATION stand-in-library LIBRARY DESTINATION stand-in-library)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/STAND-IN-LIBRARY.txt DESTINATION stand-in-library)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(quillonWindowsArch win32)
else()
  set(quillonWindowsArch win64)
endif()
set(CPACK_PACKAGE_NAME Quillon)
set(CPACK_PACKAGE_VENDOR Quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Quillon-${PROJECT_VERSION}-${quillonWindowsArch})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillon)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The installer's Start menu entry starts Quillon in a working folder the user
# can write to, "Quillon" in the documents folder (the Public Documents when
# installed for all users): there go the raw logs and the exports, and there
# the logger's library must lie. Uninstalling removes the program and its
# entries but leaves that folder and everything in it.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The NSIS lines below hold quotes and backslashes: CPack must write them
# into its configuration escaped, or the quotes end the value.
set(CPACK_VERBATIM_VARIABLES TRUE)
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
  CreateDirectory "$DOCUMENTS\Quillon"
  SetOutPath "$DOCUMENTS\Quillon"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Quillon.lnk" "$INSTDIR\Quillon.exe"
  SetOutPath "$INSTDIR"
]])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[
  Delete "$SMPROGRAMS\$MUI_TEMP\Quillon.lnk"
]])
find_program(quillonMakensis makensis)
if(quillonMakensis)
  set(CPACK_GENERATOR ZIP NSIS)
else()
  set(CPACK_GENERATOR ZIP)
endif()
include(CPack)
