# FreeImage, as the target tq_freeimage (code) and tq_freeimage_headers.
#
# Debian's shared FreeImage needs 27 other libraries, loaded and bound at every
# start, mostly for codecs this program never uses. By default the program
# takes FreeImage's objects from the static library instead, leaving out the
# plugins whose libraries it has no other use for;
# platform/freeimage_stand_ins.cpp keeps their format numbers. TQ_FREEIMAGE_STATIC=OFF, or a system without the
# static library, links the shared one.
option(TQ_FREEIMAGE_STATIC "Link FreeImage's own codecs from its static library" ON)

# Plugins needing libtiff, OpenEXR, OpenJPEG, LibRaw, libwebp or JPEG-XR, and
# the helpers only they use.
set(TQ_FREEIMAGE_LEFT_OUT
  PluginTIFF PluginG3 XTIFF TIFFLogLuv PluginEXR PluginJ2K PluginJP2 J2KHelper
  PluginRAW PluginWebP PluginJXR)

find_path(FREEIMAGE_INCLUDE_DIR FreeImage.h REQUIRED)
add_library(tq_freeimage_headers INTERFACE)
target_include_directories(tq_freeimage_headers INTERFACE ${FREEIMAGE_INCLUDE_DIR})
find_library(FREEIMAGE_STATIC_LIBRARY NAMES libfreeimage.a)

if(TQ_FREEIMAGE_STATIC AND FREEIMAGE_STATIC_LIBRARY)
  set(TQ_FREEIMAGE_LINKED_STATIC ON)
  set(objects_dir ${CMAKE_BINARY_DIR}/freeimage-objects)
  file(TIMESTAMP ${FREEIMAGE_STATIC_LIBRARY} archive_time "%s" UTC)
  set(stamp "${FREEIMAGE_STATIC_LIBRARY} ${archive_time}")
  set(stamp_file ${objects_dir}/extracted-from)
  set(old_stamp "")
  if(EXISTS ${stamp_file})
    file(READ ${stamp_file} old_stamp)
  endif()
  if(NOT old_stamp STREQUAL stamp)  # extract again only when the library changed
    file(REMOVE_RECURSE ${objects_dir})
    file(MAKE_DIRECTORY ${objects_dir})
    execute_process(COMMAND ${CMAKE_AR} x ${FREEIMAGE_STATIC_LIBRARY}
      WORKING_DIRECTORY ${objects_dir} RESULT_VARIABLE ar_result)
    if(NOT ar_result EQUAL 0)
      message(FATAL_ERROR "Cannot unpack ${FREEIMAGE_STATIC_LIBRARY}")
    endif()
    file(WRITE ${stamp_file} "${stamp}")
  endif()
  file(GLOB objects ${objects_dir}/*.o)
  foreach(name ${TQ_FREEIMAGE_LEFT_OUT})
    list(REMOVE_ITEM objects ${objects_dir}/${name}.o)
  endforeach()
  add_library(tq_freeimage STATIC ${TQ_ROOT}/platform/freeimage_stand_ins.cpp ${objects})
  target_link_libraries(tq_freeimage PUBLIC tq_freeimage_headers PNG::PNG JPEG::JPEG ZLIB::ZLIB)
  message(STATUS "FreeImage: own codecs from ${FREEIMAGE_STATIC_LIBRARY}")
else()
  set(TQ_FREEIMAGE_LINKED_STATIC OFF)
  find_library(FREEIMAGE_LIBRARY NAMES freeimage REQUIRED)
  add_library(tq_freeimage INTERFACE)
  target_link_libraries(tq_freeimage INTERFACE ${FREEIMAGE_LIBRARY} tq_freeimage_headers)
  message(STATUS "FreeImage: shared library ${FREEIMAGE_LIBRARY}")
endif()
