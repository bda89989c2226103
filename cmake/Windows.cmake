# The Windows build: the framework, the text library and the control cross-compiled with
# mingw-w64 into one in-process control module, KESTRIX.OCX, with its resources and type
# library, and the test container that drives it under Wine. Configure with
#   -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
#   -DKESTRIX_IDL_TOOL=<a native kestrix-idl>   (it writes the type library's description)
# The third-party libraries come from Debian's source packages (scripts/windows-deps.sh).

set(KESTRIX_WINDOWS_DEPS "${CMAKE_BINARY_DIR}/deps" CACHE PATH "Cross-built third-party libraries")
set(KESTRIX_IDL_TOOL "" CACHE FILEPATH "A native kestrix-idl, to describe the type library")
if(NOT KESTRIX_IDL_TOOL)
  message(FATAL_ERROR "set KESTRIX_IDL_TOOL to a native build's apps/kestrix-idl")
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
list(REMOVE_ITEM framework_sources ${src}/framework/gdi/DialogFontSource.cpp)
add_library(kestrix_framework STATIC ${framework_sources} ${src}/platform/win32/DynamicModules.cpp
            ${src}/platform/win32/FileLock.cpp ${src}/platform/win32/GdiDialogFontSource.cpp
            ${src}/platform/win32/GdiFonts.cpp)
target_include_directories(kestrix_framework PUBLIC ${src})
target_link_libraries(kestrix_framework PUBLIC dep_png dep_freetype gdi32)
kestrix_warnings(kestrix_framework)

# The text library, its fonts found through GDI.
file(GLOB_RECURSE arabtext_sources CONFIGURE_DEPENDS ${src}/arabtext/*.cpp)
list(REMOVE_ITEM arabtext_sources ${src}/arabtext/FontResolver.cpp)
add_library(kestrix_arabtext STATIC ${arabtext_sources} ${src}/platform/win32/GdiFontResolver.cpp)
target_link_libraries(kestrix_arabtext PUBLIC kestrix_framework dep_harfbuzz dep_fribidi)
kestrix_warnings(kestrix_arabtext)

file(GLOB_RECURSE control_sources CONFIGURE_DEPENDS ${src}/control/*.cpp ${src}/text/*.cpp
     ${src}/layout/*.cpp ${src}/interaction/*.cpp ${src}/module/resources/*.cpp
     ${src}/module/KestrixPropPage.cpp)
add_library(kestrix_control STATIC ${control_sources})
target_link_libraries(kestrix_control PUBLIC kestrix_framework kestrix_arabtext)
kestrix_warnings(kestrix_control)

file(GLOB module_part_sources CONFIGURE_DEPENDS ${src}/module/*.cpp)
list(REMOVE_ITEM module_part_sources ${src}/module/Exports.cpp ${src}/module/KestrixPropPage.cpp)
add_library(kestrix_module_parts STATIC ${module_part_sources})
target_link_libraries(kestrix_module_parts PUBLIC kestrix_control)
kestrix_warnings(kestrix_module_parts)
