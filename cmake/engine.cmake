# The deliverable: a shared library that exports exactly the four qrv_ functions
# and needs nothing at run time beyond the system and C runtime libraries.
file(GLOB QRV_API_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/api/*.cpp)
add_library(quorvel_engine SHARED ${QRV_API_SOURCES})
target_compile_definitions(quorvel_engine PRIVATE QRV_BUILDING_LIBRARY)
target_include_directories(quorvel_engine PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include> $<INSTALL_INTERFACE:include>)
target_link_libraries(quorvel_engine PRIVATE quorvel_core qrv_flags)
set_target_properties(quorvel_engine PROPERTIES PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/include/quorvel_engine.h)

if(WIN32)
  # A DLL without libstdc++, libgcc or winpthread beside it. It pins itself as
  # it loads (src/api/dll_main.cpp).
  target_link_options(quorvel_engine PRIVATE -static -static-libstdc++ -static-libgcc)
  set_target_properties(quorvel_engine PROPERTIES PREFIX "")
elseif(APPLE)
  # libc++ is part of macOS itself; only the four names are exported. The
  # library pins itself when it creates its worker thread (worker::pin_module).
  set_target_properties(quorvel_engine PROPERTIES INSTALL_NAME_DIR "@rpath")
  target_link_options(quorvel_engine PRIVATE
    "LINKER:-exported_symbols_list,${PROJECT_SOURCE_DIR}/cmake/exports.apple")
  set_property(TARGET quorvel_engine APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/exports.apple)
else()
  # The C++ runtime goes inside the library, hidden, so the host needs no libstdc++.
  # nodelete: dlclose never unloads the library, whose worker thread runs its
  # code for the rest of the process and whose C++ runtime would leak memory at
  # every unload (see worker::pin_module).
  target_link_options(quorvel_engine PRIVATE -static-libstdc++ -static-libgcc
    "LINKER:--exclude-libs,ALL"
    "LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/exports.map"
    "LINKER:-z,nodelete")
  set_property(TARGET quorvel_engine APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/exports.map)
endif()

include(GNUInstallDirs)
install(TARGETS quorvel_engine
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
