# Installation and the Debian package (CPack's DEB generator).
#
#   scripts/package      (cpack in build/: build/zedorev_<version>_<arch>.deb)
#
# Layout: the three programs in /usr/bin; pictures and skins, read only, in
# /usr/share/zedorev; menu entries, icons, AppStream metainfo, man pages and
# documentation where Debian expects them. The program folder the programs
# write in (/var/lib/zedorev) is not shipped: the postinst creates it once,
# owned by the group zedorev, and nothing of the package ever touches it again.
set(ZD_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
# The package installs under /usr whatever CMAKE_INSTALL_PREFIX says (a
# plain "cmake --install" keeps it); every destination below is relative.
set(ZD_PACKAGE_PREFIX /usr)
set(ZD_SHARED_FULL_DIR ${ZD_PACKAGE_PREFIX}/${ZD_SHARED_DIR})
set(ZD_RELEASE_DATE 2026-12-08)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS zedorev trs_teclado zd_seed zd_facturx zd_books RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB zd_shared_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/program/*)
install(FILES ${zd_shared_files} DESTINATION ${ZD_SHARED_DIR})
# Their origin and licence are in the package's copyright file.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/third_party/facturx-xsd/ DESTINATION ${ZD_SHARED_DIR}/facturx-xsd
        FILES_MATCHING PATTERN "*.xsd")

install(FILES ${ZD_PACKAGING}/org.zedorev.Zedorev.desktop ${ZD_PACKAGING}/org.zedorev.TrsTeclado.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${ZD_PACKAGING}/org.zedorev.Zedorev.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/org.zedorev.Zedorev.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/org.zedorev.Zedorev.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Man pages and the changelog, compressed as Debian wants them (gzip -9n:
# no name, no time stamp).
set(zd_compressed)
foreach(page zedorev trs_teclado zd_seed zd_facturx zd_books)
  configure_file(${ZD_PACKAGING}/man/${page}.1 ${CMAKE_BINARY_DIR}/packaging/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/${page}.1
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/${page}.1)
  list(APPEND zd_compressed ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nc ${ZD_PACKAGING}/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${ZD_PACKAGING}/changelog)
list(APPEND zd_compressed ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_target(zd_package_docs ALL DEPENDS ${zd_compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${ZD_PACKAGING}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zedorev)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zedorev)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zedorev developers <zedorev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "invoices and delivery notes from point-of-sale tickets")
set(CPACK_PACKAGING_INSTALL_PREFIX ${ZD_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_THREADS 0)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary first and indents these lines itself.
set(CPACK_PACKAGE_DESCRIPTION "Back-office invoicing for a shop whose checkout runs on networked
point-of-sale scales. On a touch screen the operator chooses a customer,
sees the customer's tickets not yet invoiced, chooses some and issues an
invoice or a delivery note from them. It works on the point-of-sale
server's SQL Server database through ODBC (FreeTDS) or on local SQLite
files, and starts its own on-screen AZERTY keyboard, trs_teclado.

The program folder ${ZD_INSTALLED_FOLDER} belongs to the group zedorev: add the
operators' accounts to it.")
# The libraries the programs link come from dpkg-shlibdeps. What it cannot
# see is loaded at run time or run as a command: Qt's SQLite and ODBC
# drivers, unixODBC with the FreeTDS driver, lp (CUPS client), the fonts the
# windows and documents are drawn with, the sRGB profile of the archived
# PDF/A files, and addgroup for the postinst.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-odbc, unixodbc, tdsodbc, cups-client, fonts-dejavu-core, icc-profiles-free, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${ZD_PACKAGING}/postinst ${ZD_PACKAGING}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
