# Installs like any Linux library: the framework a host links, the module it loads by name,
# the tools, the public headers, a pkg-config file and a CMake package.
include(CMakePackageConfigHelpers)

set_target_properties(kestrix_framework PROPERTIES EXPORT_NAME framework)
install(TARGETS kestrix_framework EXPORT KestrixTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS kestrix_module LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS kestrix-register kestrix-script kestrix-idl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/api.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The installed programs find the framework beside them.
set_target_properties(kestrix-register kestrix-script kestrix-idl kestrix_module PROPERTIES
                      INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set_target_properties(kestrix_module PROPERTIES INSTALL_RPATH "$ORIGIN")

# Public headers: the framework (object model, creation by name, windows and display) and the
# control's identities.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/framework/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrix/framework FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/src/control/Guids.h ${PROJECT_SOURCE_DIR}/src/control/Dispids.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrix/control)

file(RELATIVE_PATH KESTRIX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/kestrix.pc.in ${PROJECT_BINARY_DIR}/kestrix.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kestrix.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(KESTRIX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrix)
install(EXPORT KestrixTargets NAMESPACE Kestrix:: DESTINATION ${KESTRIX_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KestrixConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/KestrixConfig.cmake
                              INSTALL_DESTINATION ${KESTRIX_CMAKE_DIR}
                              PATH_VARS CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KestrixConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KestrixConfig.cmake
              ${PROJECT_BINARY_DIR}/KestrixConfigVersion.cmake
        DESTINATION ${KESTRIX_CMAKE_DIR})
