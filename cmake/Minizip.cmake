# minizip (unzip side, 64-bit API, Win32 wide file functions), compiled from
# Debian's zlib sources that the bootstrap unpacks into build/deps.
set(MINIZIP_DIR ${LUMIDOR_DEPS}/zlib/contrib/minizip)
if(NOT EXISTS ${MINIZIP_DIR}/unzip.c)
  message(FATAL_ERROR "minizip sources missing in ${MINIZIP_DIR}: run tools/bootstrap.sh")
endif()
add_library(minizip STATIC ${MINIZIP_DIR}/ioapi.c ${MINIZIP_DIR}/iowin32.c ${MINIZIP_DIR}/unzip.c)
target_include_directories(minizip SYSTEM PUBLIC ${MINIZIP_DIR})
target_compile_definitions(minizip PRIVATE NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC /usr/i686-w64-mingw32/lib/libz.a)
