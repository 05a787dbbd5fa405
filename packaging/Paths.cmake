# Installation folders (GNUInstallDirs) and the generated header that tells
# the program its version and where its shared data lies relative to the
# executable, so that it finds the manual and the examples wherever the tree
# was installed or unpacked.
include(GNUInstallDirs)
set(KV_DATA_DIR ${CMAKE_INSTALL_DATADIR}/korvalinth)
file(RELATIVE_PATH KV_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/korvalinth)
set(KV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/app/Version.h.in ${KV_GENERATED_DIR}/app/Version.h @ONLY)
