# The Debian package (cpack -G DEB): what `cmake --install` puts under /usr. The libraries'
# packages are found by dpkg-shlibdeps from the binaries; the Qt platform plugins and the font are
# loaded at run time, so they are named here.
set(CPACK_PACKAGE_NAME pemblar)
set(CPACK_PACKAGE_VENDOR "the Pemblar developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for the live picture of a network camera")
set(CPACK_PACKAGE_DESCRIPTION
    "Pemblar connects to a network camera that serves JPEG stills over TCP,
logs in with an ID and a password, and shows the frames one after another
with the caption each frame carries and the measured frame rate. Camera
addresses and ports are kept in two history lists that persist between runs.

The package also holds pemblar-camera, a simulated camera on the local
machine for trying the viewer without a camera.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PEMBLAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
