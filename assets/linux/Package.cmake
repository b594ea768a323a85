# The Debian packages (scripts/package), one per install component, with /usr
# as the prefix: courier-query, the program, and courier-query-service, the
# tracking service it queries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME courier-query)
set(CPACK_PACKAGE_VENDOR Quonvex)
set(CPACK_PACKAGE_CONTACT "courier-query maintainers <courier-query@quonvex.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
if(COURIER_QUERY_BUILD_SERVICE)
  list(APPEND CPACK_COMPONENTS_ALL service)
endif()

# <name>_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quonvex.com/)
# The libraries come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Maintainer scripts 0755, conffiles 0644, as lintian wants them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME courier-query)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION [[
look up the delivery status of a parcel
courier-query is a desktop tool for looking up the delivery status of a
parcel. Pick a courier from the panel of names, type the tracking number and
press the query button or Enter: the window shows the status that the
tracking service returns, fetched by a hidden embedded browser.

The list of couriers is read from a catalogue file beside the program. The
window draws its own frame with rounded corners, and every text in it is
Chinese.]])
# shlibdeps also brings the browser engine's page process. The window's design
# needs a CJK font for its "微软雅黑" text and prefers a Song face for "宋体";
# the toolkit's own texts (message box buttons, context menus) come in Chinese
# from Qt's translations. On a Wayland desktop the program runs natively only
# with Qt's Wayland plugin (else through XWayland). The service is what it
# asks, on this machine or another.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "fonts-arphic-uming, qt6-wayland")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SUGGESTS "courier-query-service")

set(package ${PROJECT_SOURCE_DIR}/service/package)
set(CPACK_DEBIAN_SERVICE_PACKAGE_NAME courier-query-service)
set(CPACK_DEBIAN_SERVICE_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVICE_DESCRIPTION [[
tracking service that courier-query queries
courier-query-service publishes the delivery events of shipments over HTTP,
for courier-query on customers' desktops. A courier company, a shop or a
warehouse runs it. It keeps the events in an SQLite file or a PostgreSQL
database, imports TSV and CSV files, and takes new events from senders
with a token over HTTP.

The package runs it as a sandboxed systemd service on 127.0.0.1:8765.]])
# Qt finds its database drivers as plugins, which shlibdeps cannot see; the
# maintainer scripts use init-system-helpers, as every Debian service does.
set(CPACK_DEBIAN_SERVICE_PACKAGE_DEPENDS
  "libqt6sql6-sqlite, libqt6sql6-psql, init-system-helpers (>= 1.52)")
set(CPACK_DEBIAN_SERVICE_PACKAGE_CONTROL_EXTRA
  ${package}/conffiles ${package}/postinst ${package}/prerm ${package}/postrm)

include(CPack)
