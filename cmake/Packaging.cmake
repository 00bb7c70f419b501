# Installation beyond the programs, and the Debian package.
#
# The programs and their Info folder live together in lib/varnex (they find
# their data beside themselves), with links in bin. The desktop entry, icon
# and file type make .vnx files open in the program; the examples and the
# guides go where Debian users look for them.
install(FILES data/desktop/varnex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/desktop/varnex.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/desktop/varnex-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME varnex.xml)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/varnex/examples)

# Each runnable example also as a project file with the results of its run,
# made by the command-line tool at build time (the stream of a fresh
# program, so they are the numbers the desktop program's Run gives), so
# that a newcomer can open the results before running anything. Built from
# the JSON each time it or the tool changes: never out of step with the
# engine.
set(VARNEX_RUN_EXAMPLES level1-gasworks level2-solvent-soakaway level3-petrol-station level3-gasworks-chalk
    level3a-landfill hand-check-level1 level3-solvent-chain)
set(VARNEX_EXAMPLE_PROJECTS)
foreach(example IN LISTS VARNEX_RUN_EXAMPLES)
  set(project ${CMAKE_BINARY_DIR}/examples/${example}.vnx)
  add_custom_command(
    OUTPUT ${project}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/examples
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:varnex-cli> -DPROJECT=${CMAKE_SOURCE_DIR}/examples/${example}.json
            -DOUTPUT=${project} -DLOG=${CMAKE_BINARY_DIR}/examples/${example}.txt
            -P ${CMAKE_SOURCE_DIR}/cmake/RunExample.cmake
    DEPENDS varnex-cli varnex_info ${CMAKE_SOURCE_DIR}/examples/${example}.json ${CMAKE_SOURCE_DIR}/cmake/RunExample.cmake
    COMMENT "Running the example ${example} into ${example}.vnx"
    VERBATIM)
  list(APPEND VARNEX_EXAMPLE_PROJECTS ${project})
endforeach()
# The sanitizer build checks the code, not the examples, and would run them
# many times slower: there they are built only on request.
if(VARNEX_SANITIZE)
  add_custom_target(varnex_example_projects DEPENDS ${VARNEX_EXAMPLE_PROJECTS})
else()
  add_custom_target(varnex_example_projects ALL DEPENDS ${VARNEX_EXAMPLE_PROJECTS})
endif()
install(FILES ${VARNEX_EXAMPLE_PROJECTS} DESTINATION ${CMAKE_INSTALL_DATADIR}/varnex/examples)
file(GLOB VARNEX_DOCS ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${VARNEX_DOCS} README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnex)
set(CPACK_PACKAGE_VENDOR "Kestrane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Probabilistic risk assessment of contaminants reaching groundwater")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnex builds a model of contaminated land (contaminants, source areas, unsaturated layers, an aquifer, receptors), takes every input as a value or a probability distribution, and runs a Monte Carlo simulation of leaching, transport through the unsaturated zone, mixing and transport in the aquifer. It reports statistics, exceedance probabilities, graphs, a sensitivity ranking and plume maps. The package holds the desktop program varnex, the command-line tool varnex-cli and the Python module varnex.")
set(CPACK_PACKAGE_CONTACT "Varnex developers <varnex@kestrane.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
# The Python module's arrays need numpy; tables, studies and figures use
# pandas, Dask and matplotlib when they are there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3, python3-numpy")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-pandas, python3-distributed, python3-matplotlib")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY varnex)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
