# The Debian package (`make package`, or cpack -G DEB in the build folder). Shared-library
# dependencies come from dpkg-shlibdeps; what is loaded at run time or is not a library is
# named by hand. No maintainer scripts: dpkg's triggers refresh the MIME, desktop and icon
# caches.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vyrviewer)
set(CPACK_PACKAGE_VENDOR "VyrViewer developers")
set(CPACK_PACKAGE_CONTACT "VyrViewer developers <maintainers@vyrviewer.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for packed slide shows")
set(CPACK_PACKAGE_DESCRIPTION
    "VyrViewer plays packed slide shows: a show file carries its project with\n\
the pictures, music, video and skins it needs, and the player builds each\n\
slide, joins the slides with transitions drawn with OpenGL and plays the\n\
music as the show's clock.\n\
.\n\
The package also holds vyrpack, which builds, inspects and unpacks shows,\n\
and gives file managers thumbnails of shows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libepoxy opens the EGL and GL loaders at run time; Mesa's drivers do the drawing (llvmpipe
# without a GPU); the fonts stand in for the fonts shows name.
# FFmpeg's libraries are opened on first use (src/media/ffmpeg_on_demand.cpp), out of
# dpkg-shlibdeps' sight: each is named by its major version, as Debian names the package.
find_package(PkgConfig REQUIRED)
set(vyr_ffmpeg_packages "")
foreach(module libavcodec libavformat libavutil libswresample libswscale)
  pkg_check_modules(VYR_DEB_${module} REQUIRED ${module})
  string(REGEX MATCH "^[0-9]+" major "${VYR_DEB_${module}_VERSION}")
  list(APPEND vyr_ffmpeg_packages "${module}${major}")
endforeach()
list(JOIN vyr_ffmpeg_packages ", " vyr_ffmpeg_depends)
# GTK 3 and cairo are opened on first use too (src/platform/gtk/gtk_on_demand.cpp), by the
# sonames libgtk-3.so.0, libgdk-3.so.0 (both in libgtk-3-0) and libcairo.so.2.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libegl1, libgl1, libegl-mesa0, libgl1-mesa-dri, fonts-liberation2, fonts-dejavu-core, ${vyr_ffmpeg_depends}, libgtk-3-0, libcairo2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/vyrviewer)
set(changelog ${PROJECT_BINARY_DIR}/package-doc/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package-doc
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/package/changelog ${changelog}
  COMMAND gzip -9 -n -f ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/package/changelog VERBATIM)
add_custom_target(vyr_package_doc ALL DEPENDS ${changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/data/package/copyright ${changelog}.gz DESTINATION ${doc_dir})

include(CPack)
