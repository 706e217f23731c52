# What `cmake --install` puts in place for model libraries built against
# this one: the runtime, the library and its procedure library, the module
# frame, the public headers, the host vqhost (bin/) that drives the types of
# any model library, and the package that find_package reads:
#   find_package(Brantel300_1 CONFIG REQUIRED)
#   target_link_libraries(mymodels PRIVATE Brantel300_1::ModuleFrame)
# with the imported targets Brantel300_1::kyvexp (the runtime),
# Brantel300_1::Brantel300_1 (the library) and Brantel300_1::ModuleFrame
# (the frame a model library compiles in; it brings the other two and links
# Brantel300_1::ModuleFrameArchive whole).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(BRANTEL_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Brantel300_1)

# The libraries others link against carry the major version in their
# sonames (libBrantel300_1.so.30); the Windows DLLs keep their plain names,
# as this file serves the Linux build alone. Dornvale is loaded by its plain
# name, like a model library, and stays unversioned.
set_target_properties(kyvexp Brantel300_1 PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

# Installed libraries find each other beside themselves.
set_target_properties(kyvexp Brantel300_1 Dornvale PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(brantel_module_frame PROPERTIES EXPORT_NAME ModuleFrame)
set_target_properties(brantel_module_frame_archive PROPERTIES EXPORT_NAME ModuleFrameArchive)

install(TARGETS kyvexp EXPORT Brantel300_1Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kyvexp)
install(TARGETS Brantel300_1 EXPORT Brantel300_1Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/Brantel300_1)
install(TARGETS brantel_module_frame brantel_module_frame_archive EXPORT Brantel300_1Targets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The runtime loads the procedure library from beside the model library.
install(TARGETS Dornvale LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

install(EXPORT Brantel300_1Targets NAMESPACE Brantel300_1:: DESTINATION ${BRANTEL_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/Brantel300_1Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1Config.cmake INSTALL_DESTINATION ${BRANTEL_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1ConfigVersion.cmake DESTINATION ${BRANTEL_PACKAGE_DIR})

# The host finds the runtime, and through it the library, in the libraries'
# folder of the same prefix.
file(RELATIVE_PATH BRANTEL_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(vqhost PROPERTIES INSTALL_RPATH "$ORIGIN/${BRANTEL_BIN_TO_LIB}")
install(TARGETS vqhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
