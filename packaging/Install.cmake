# What `cmake --install` puts under the prefix, in three components that the
# Debian packages follow: library (the shared object), development (header,
# link name, pkg-config file, CMake package) and program (lumetra and its
# manual page).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS lumetra EXPORT LumetraTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/include/lumetra.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)

# pkg-config: OpenCV is required through its own file when there is one;
# Debian's per-module packages ship none, so then its flags are named here.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(LUMETRA_PC_OPENCV QUIET opencv4)
endif()
if(LUMETRA_PC_OPENCV_FOUND)
  set(LUMETRA_PC_REQUIRES "Requires: opencv4")
else()
  set(LUMETRA_PC_REQUIRES "")
  get_filename_component(_opencv_libdir ${OPENCV_core_LIBRARY} DIRECTORY)
  set(LUMETRA_PC_OPENCV_CFLAGS "-I${OpenCV_INCLUDE_DIRS}")
  set(LUMETRA_PC_OPENCV_LIBS "-L${_opencv_libdir} -lopencv_imgproc -lopencv_core")
endif()
file(RELATIVE_PATH LUMETRA_PC_PREFIX_FROM_PCFILEDIR
     /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumetra.pc.in ${CMAKE_BINARY_DIR}/lumetra.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/lumetra.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

set(LUMETRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumetra)
install(EXPORT LumetraTargets NAMESPACE Lumetra:: DESTINATION ${LUMETRA_CMAKE_DIR} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LumetraConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/LumetraConfig.cmake INSTALL_DESTINATION ${LUMETRA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/LumetraConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/LumetraConfig.cmake ${CMAKE_BINARY_DIR}/LumetraConfigVersion.cmake
        DESTINATION ${LUMETRA_CMAKE_DIR} COMPONENT development)

if(TARGET lumetra_cli)
  # The program finds the library beside it under any prefix.
  set_target_properties(lumetra_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS lumetra_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/lumetra.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endif()

# Debian packages, one per component: scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumetra)
set(CPACK_PACKAGE_VENDOR "Lumetra developers")
set(CPACK_PACKAGE_CONTACT "Lumetra developers <lumetra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo effects over OpenCV pictures")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library development program)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME liblumetra0)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME liblumetra-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libopencv-core-dev")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME lumetra)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "Lumetra photo-effect library: the shared object")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Lumetra photo-effect library: header, pkg-config file and CMake package")
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "lumetra: photo effects, tilt-shift and photo tools on picture files")
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_COMPONENT_PROGRAM_DEPENDS library)
include(CPack)
