# Run by "cmake --install": links bin/orvalis3 to the program in its own
# directory. ORVALIS_INSTALL_BINDIR and ORVALIS_INSTALL_APPDIR are set just before.
set(bindir "${CMAKE_INSTALL_PREFIX}/${ORVALIS_INSTALL_BINDIR}")
set(program "${CMAKE_INSTALL_PREFIX}/${ORVALIS_INSTALL_APPDIR}/orvalis3")
file(RELATIVE_PATH target "${bindir}" "${program}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${bindir}")
message(STATUS "Linking: $ENV{DESTDIR}${bindir}/orvalis3 -> ${target}")
file(CREATE_LINK "${target}" "$ENV{DESTDIR}${bindir}/orvalis3" SYMBOLIC)
