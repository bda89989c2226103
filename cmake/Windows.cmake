# The Windows build: the framework, the text library and the control cross-compiled with
# mingw-w64 into one in-process control module, KESTRIX.OCX, with its resources and type
# library, and the test container that drives it under Wine. Configure with
#   -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
#   -DKESTRIX_HOST_TOOLS=<a native build's apps directory>   (kestrix-idl and kestrix-rc there
#   describe the type library and the resources)
# The third-party libraries come from Debian's source packages (scripts/windows-deps.sh).

set(KESTRIX_WINDOWS_DEPS "${CMAKE_BINARY_DIR}/deps" CACHE PATH "Cross-built third-party libraries")
set(KESTRIX_HOST_TOOLS "" CACHE PATH "A native build's apps directory (kestrix-idl, kestrix-rc)")
if(NOT EXISTS "${KESTRIX_HOST_TOOLS}/kestrix-idl" OR NOT EXISTS "${KESTRIX_HOST_TOOLS}/kestrix-rc")
  message(FATAL_ERROR "set KESTRIX_HOST_TOOLS to a native build's apps directory")
endif()

execute_process(COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/windows-deps.sh" "${KESTRIX_WINDOWS_DEPS}"
                RESULT_VARIABLE deps_result)
if(NOT deps_result EQUAL 0)
  message(FATAL_ERROR "the third-party libraries could not be cross-built (see ${KESTRIX_WINDOWS_DEPS}/*.log)")
endif()
set(deps "${KESTRIX_WINDOWS_DEPS}/prefix")

function(kestrix_import name library)
  add_library(${name} STATIC IMPORTED)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${deps}/lib/${library}"
                        INTERFACE_INCLUDE_DIRECTORIES "${ARGN}")
endfunction()
kestrix_import(dep_zlib libz.a "${deps}/include")
kestrix_import(dep_png libpng16.a "${deps}/include")
set_target_properties(dep_png PROPERTIES INTERFACE_LINK_LIBRARIES dep_zlib)
kestrix_import(dep_freetype libfreetype.a "${deps}/include/freetype2")
kestrix_import(dep_harfbuzz libharfbuzz.a "${deps}/include/harfbuzz")
set_target_properties(dep_harfbuzz PROPERTIES INTERFACE_LINK_LIBRARIES dep_freetype)
kestrix_import(dep_fribidi libfribidi.a "${deps}/include/fribidi")
set_target_properties(dep_fribidi PROPERTIES INTERFACE_COMPILE_DEFINITIONS FRIBIDI_LIB_STATIC)

set(src "${CMAKE_SOURCE_DIR}/src")
# Everything links statically into the module: it must load with nothing beside it.
add_link_options(-static-libgcc -static-libstdc++ -static)

# The framework with the Windows pieces behind its seams: module loading, file locks, and
# dialog fonts through GDI.
file(GLOB_RECURSE framework_sources CONFIGURE_DEPENDS ${src}/framework/*.cpp
     ${src}/platform/headless/*.cpp)
list(REMOVE_ITEM framework_sources ${src}/framework/gdi/DialogFontSource.cpp
     ${src}/framework/ole/BstrMemory.cpp)
add_library(kestrix_framework STATIC ${framework_sources} ${src}/platform/win32/DynamicModules.cpp
            ${src}/platform/win32/FileLock.cpp ${src}/platform/win32/GdiDialogFontSource.cpp
            ${src}/platform/win32/GdiFonts.cpp ${src}/platform/win32/BstrMemory.cpp)
target_include_directories(kestrix_framework PUBLIC ${src})
target_link_libraries(kestrix_framework PUBLIC dep_png dep_freetype gdi32 oleaut32)
kestrix_warnings(kestrix_framework)

# The text library, its fonts found through GDI.
file(GLOB_RECURSE arabtext_sources CONFIGURE_DEPENDS ${src}/arabtext/*.cpp)
list(REMOVE_ITEM arabtext_sources ${src}/arabtext/FontResolver.cpp)
add_library(kestrix_arabtext STATIC ${arabtext_sources} ${src}/platform/win32/GdiFontResolver.cpp)
target_link_libraries(kestrix_arabtext PUBLIC kestrix_framework dep_harfbuzz dep_fribidi)
kestrix_warnings(kestrix_arabtext)

file(GLOB resource_sources CONFIGURE_DEPENDS ${src}/resources/*.cpp)
add_library(kestrix_resources STATIC ${resource_sources})
target_link_libraries(kestrix_resources PUBLIC kestrix_framework)
kestrix_warnings(kestrix_resources)

file(GLOB_RECURSE control_sources CONFIGURE_DEPENDS ${src}/control/*.cpp ${src}/text/*.cpp
     ${src}/layout/*.cpp ${src}/interaction/*.cpp)
add_library(kestrix_control STATIC ${control_sources})
target_link_libraries(kestrix_control PUBLIC kestrix_framework kestrix_resources kestrix_arabtext)
kestrix_warnings(kestrix_control)

# The control as screen readers see it, which the module publishes.
file(GLOB access_sources CONFIGURE_DEPENDS ${src}/access/*.cpp)
add_library(kestrix_access STATIC ${access_sources})
target_link_libraries(kestrix_access PUBLIC kestrix_control)
kestrix_warnings(kestrix_access)

file(GLOB module_part_sources CONFIGURE_DEPENDS ${src}/module/*.cpp)
list(REMOVE_ITEM module_part_sources ${src}/module/Exports.cpp)
add_library(kestrix_module_parts STATIC ${module_part_sources})
target_link_libraries(kestrix_module_parts PUBLIC kestrix_control)
kestrix_warnings(kestrix_module_parts)

# The type library: our IDL description, compiled by the platform's IDL compiler, which also
# writes the identities as the platform's headers declare them. The standard OLE type library
# is found under the upper-case name the description imports.
set(gen "${CMAKE_BINARY_DIR}/generated")
set(wine_windows_libs /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
file(MAKE_DIRECTORY "${gen}/importlibs")
file(CREATE_LINK "${wine_windows_libs}/stdole2.tlb" "${gen}/importlibs/STDOLE2.TLB" SYMBOLIC)
set(widl_flags --win64 -I/usr/include/wine/wine/windows -L${gen}/importlibs -L${wine_windows_libs})
add_custom_command(
  OUTPUT ${gen}/kestrix.idl
  COMMAND sh -c "cat \"$1\" > \"$3\" && \"$2\" >> \"$3\"" sh
          ${src}/module/win32/TypeLibPrelude.idl ${KESTRIX_HOST_TOOLS}/kestrix-idl ${gen}/kestrix.idl
  DEPENDS ${src}/module/win32/TypeLibPrelude.idl ${KESTRIX_HOST_TOOLS}/kestrix-idl
  COMMENT "Describing the type library"
  VERBATIM)
add_custom_command(
  OUTPUT ${gen}/kestrix.tlb ${gen}/KestrixIdl.h
  COMMAND ${KESTRIX_MINGW_TRIPLE}-widl ${widl_flags} -t -o ${gen}/kestrix.tlb ${gen}/kestrix.idl
  COMMAND ${KESTRIX_MINGW_TRIPLE}-widl ${widl_flags} -h -o ${gen}/KestrixIdl.h ${gen}/kestrix.idl
  DEPENDS ${gen}/kestrix.idl
  COMMENT "Compiling the type library")
# The resources, written from the same tables the framework's loaders read, with the type
# library as TYPELIB 1.
add_custom_command(
  OUTPUT ${gen}/kestrix.rc ${gen}/kestrix.bmp ${gen}/kestrix.ico
  COMMAND ${KESTRIX_HOST_TOOLS}/kestrix-rc ${gen}
  DEPENDS ${KESTRIX_HOST_TOOLS}/kestrix-rc
  COMMENT "Writing the resource script")
add_custom_command(
  OUTPUT ${gen}/kestrix-resources.o
  COMMAND ${CMAKE_RC_COMPILER} -I ${gen} -i ${gen}/kestrix.rc -o ${gen}/kestrix-resources.o
  DEPENDS ${gen}/kestrix.rc ${gen}/kestrix.bmp ${gen}/kestrix.ico ${gen}/kestrix.tlb
  WORKING_DIRECTORY ${gen}
  COMMENT "Compiling the resources")
add_custom_target(kestrix_generated DEPENDS ${gen}/KestrixIdl.h ${gen}/kestrix-resources.o)

# The module's Windows side: the ActiveX object, its window, registration and entry points.
# Files that see the platform's headers are apart from those that see the framework's.
# The test hooks (the inspection interface and the fixed-metric text library that
# KESTRIX_TEST_METRICS asks for) are only in the test build of the module; the shipped one
# links their absence instead.
set(ocx_test_hook_sources ${src}/module/win32/InspectionObject.cpp
    ${src}/module/win32/ControlInspection.cpp)
set(ocx_no_test_hook_sources ${src}/module/win32/NoTestHooks.cpp)
file(GLOB ocx_sources CONFIGURE_DEPENDS ${src}/module/win32/*.cpp)
list(REMOVE_ITEM ocx_sources ${ocx_test_hook_sources} ${ocx_no_test_hook_sources})
add_library(kestrix_ocx_common OBJECT ${ocx_sources})
add_dependencies(kestrix_ocx_common kestrix_generated)
target_include_directories(kestrix_ocx_common PRIVATE ${gen})
target_compile_definitions(kestrix_ocx_common PRIVATE UNICODE _UNICODE)
target_link_libraries(kestrix_ocx_common PRIVATE kestrix_module_parts kestrix_access)
kestrix_warnings(kestrix_ocx_common)

# KESTRIX.OCX as shipped, and the test build the Wine tests register, under the same file name
# in a folder of its own.
foreach(variant IN ITEMS shipped test)
  if(variant STREQUAL "shipped")
    set(target kestrix_ocx)
    set(hooks ${ocx_no_test_hook_sources})
    set(folder ${CMAKE_BINARY_DIR})
  else()
    set(target kestrix_ocx_test)
    set(hooks ${ocx_test_hook_sources})
    set(folder ${CMAKE_BINARY_DIR}/test-module)
  endif()
  add_library(${target} SHARED $<TARGET_OBJECTS:kestrix_ocx_common> ${hooks}
              ${src}/module/win32/KESTRIX.def ${gen}/kestrix-resources.o)
  add_dependencies(${target} kestrix_generated)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME KESTRIX PREFIX "" SUFFIX ".OCX"
                        RUNTIME_OUTPUT_DIRECTORY ${folder} ARCHIVE_OUTPUT_DIRECTORY ${folder})
  target_include_directories(${target} PRIVATE ${gen})
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE)
  # uuid before oleacc: oleacc's import library also names the accessibility IIDs, as imports
  # that would resolve to code.
  target_link_libraries(${target} PRIVATE kestrix_module_parts kestrix_access ole32 oleaut32 uuid oleacc
                        user32 gdi32)
  kestrix_warnings(${target})
endforeach()

# The test container: a Windows program of ours that creates the registered control by its
# ProgID and drives it as a container does (tests/windows/run-under-wine.sh runs it).
kestrix_import(dep_gtest libgtest.a "${deps}/include")
# It also runs kestrix-script's language (--script): the script language's files are standard
# C++ and compile here as they are, with the code page table they use.
file(GLOB container_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/windows/*.cpp)
file(GLOB script_language_sources CONFIGURE_DEPENDS ${src}/script/*.cpp)
# GDI's faces as the module reads them, tested directly (a face's index in a collection); the
# framework's durable write for every file it writes.
add_executable(kestrix-container ${container_sources} ${script_language_sources}
               ${src}/framework/text/Cp1256.cpp ${src}/framework/text/TextConversion.cpp
               ${src}/platform/win32/GdiFonts.cpp
               ${src}/framework/gdi/FontCollection.cpp
               ${src}/framework/file/DurableWrite.cpp ${src}/platform/win32/FileLock.cpp)
add_dependencies(kestrix-container kestrix_generated)
target_include_directories(kestrix-container PRIVATE ${gen} ${src}/script ${src}
                           ${src}/module/win32)
target_compile_definitions(kestrix-container PRIVATE UNICODE _UNICODE)
target_link_libraries(kestrix-container PRIVATE dep_gtest dep_png ole32 oleaut32 uuid oleacc user32 gdi32
                      version)
kestrix_warnings(kestrix-container)
