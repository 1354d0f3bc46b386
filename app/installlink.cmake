# Run by "cmake --install": links bin/<program> to the program in its own
# directory. ORVALIS_INSTALL_BINDIR, ORVALIS_INSTALL_APPDIR and
# ORVALIS_INSTALL_PROGRAM are set just before.
set(bindir "${CMAKE_INSTALL_PREFIX}/${ORVALIS_INSTALL_BINDIR}")
set(program "${CMAKE_INSTALL_PREFIX}/${ORVALIS_INSTALL_APPDIR}/${ORVALIS_INSTALL_PROGRAM}")
file(RELATIVE_PATH target "${bindir}" "${program}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${bindir}")
message(STATUS "Linking: $ENV{DESTDIR}${bindir}/${ORVALIS_INSTALL_PROGRAM} -> ${target}")
file(CREATE_LINK "${target}" "$ENV{DESTDIR}${bindir}/${ORVALIS_INSTALL_PROGRAM}" SYMBOLIC)
