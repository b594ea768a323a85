# The Debian package (scripts/package): everything the install rules put
# under the prefix, with /usr as the prefix.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME courier-query)
set(CPACK_PACKAGE_VENDOR Quonvex)
set(CPACK_PACKAGE_CONTACT "courier-query maintainers <courier-query@quonvex.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look up the delivery status of a parcel")
set(CPACK_PACKAGE_DESCRIPTION [[
courier-query is a desktop tool for looking up the delivery status of a
parcel. Pick a courier from the panel of names, type the tracking number and
press the query button or Enter: the window shows the status that the
tracking service returns, fetched by a hidden embedded browser.

The list of couriers is read from a catalogue file beside the program. The
window draws its own frame with rounded corners, and every text in it is
Chinese.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

# courier-query_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quonvex.com/)
# The libraries come from dpkg-shlibdeps (with them the browser engine's page
# process). The window's design needs a CJK font for its "微软雅黑" text and
# prefers a Song face for "宋体"; the toolkit's own texts (message box
# buttons, context menus) come in Chinese from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming")

include(CPack)
