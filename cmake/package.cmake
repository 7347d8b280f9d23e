# The zip a Windows user downloads: Tarnwick.exe and a read-me, in one folder
# named after the version. Made with every build, so CI always has it.
set(TARNWICK_PACKAGE_NAME Tarnwick-${PROJECT_VERSION}-win64)
set(TARNWICK_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${TARNWICK_PACKAGE_NAME}.zip)
set(TARNWICK_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
set(TARNWICK_PACKAGE_FOLDER Tarnwick-${PROJECT_VERSION})

# Notepad of older Windows shows a file with bare line feeds as one line.
configure_file(${CMAKE_SOURCE_DIR}/resources/readme_windows.txt
  ${TARNWICK_PACKAGE_STAGE}/${TARNWICK_PACKAGE_FOLDER}/README.txt @ONLY NEWLINE_STYLE CRLF)

add_custom_command(OUTPUT ${TARNWICK_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Tarnwick> ${TARNWICK_PACKAGE_FOLDER}/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TARNWICK_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${TARNWICK_PACKAGE_ZIP} --format=zip ${TARNWICK_PACKAGE_FOLDER}
  WORKING_DIRECTORY ${TARNWICK_PACKAGE_STAGE}
  DEPENDS Tarnwick ${TARNWICK_PACKAGE_STAGE}/${TARNWICK_PACKAGE_FOLDER}/README.txt
  COMMENT "Packing ${TARNWICK_PACKAGE_NAME}.zip")
add_custom_target(package ALL DEPENDS ${TARNWICK_PACKAGE_ZIP})

add_test(NAME package.contents COMMAND ${CMAKE_COMMAND} -DZIP=${TARNWICK_PACKAGE_ZIP}
  -DFOLDER=${TARNWICK_PACKAGE_FOLDER} -DEXE=$<TARGET_FILE:Tarnwick> -P ${CMAKE_SOURCE_DIR}/cmake/check_package.cmake)
