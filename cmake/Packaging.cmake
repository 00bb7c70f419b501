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
file(GLOB VARNEX_DOCS ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${VARNEX_DOCS} README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnex)
set(CPACK_PACKAGE_VENDOR "Kestrane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Probabilistic risk assessment of contaminants reaching groundwater")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnex builds a model of contaminated land (contaminants, source areas, unsaturated layers, an aquifer, receptors), takes every input as a value or a probability distribution, and runs a Monte Carlo simulation of leaching, transport through the unsaturated zone, mixing and transport in the aquifer. It reports statistics, exceedance probabilities, graphs, a sensitivity ranking and plume maps. The package holds the desktop program varnex and the command-line tool varnex-cli.")
set(CPACK_PACKAGE_CONTACT "Varnex developers <varnex@kestrane.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY varnex)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
