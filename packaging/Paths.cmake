# Installation folders (GNUInstallDirs) and the generated header that tells
# the program its version and where its shared data lies relative to the
# executable, so that it finds the manual and the examples wherever the tree
# was installed or unpacked.
include(GNUInstallDirs)
set(KV_DATA_DIR ${CMAKE_INSTALL_DATADIR}/korvalinth)
file(RELATIVE_PATH KV_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/korvalinth)
set(KV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
# The project's web page and contact address for the about box and the
# "Korvalinth Web" entry of the help menu; empty leaves them out.
set(KV_HOMEPAGE "" CACHE STRING "The project's web page shown in the about box")
set(KV_CONTACT_EMAIL "" CACHE STRING "The contact address shown in the about box")
configure_file(${CMAKE_SOURCE_DIR}/app/Version.h.in ${KV_GENERATED_DIR}/app/Version.h @ONLY)
