# minizip (unzip side, 64-bit API; the archive is read from memory), compiled from
# Debian's zlib sources that the bootstrap unpacks into build/deps.
set(MINIZIP_DIR ${LUMIDOR_DEPS}/zlib/contrib/minizip)
if(NOT EXISTS ${MINIZIP_DIR}/unzip.c)
  message(FATAL_ERROR "minizip sources missing in ${MINIZIP_DIR}: run tools/bootstrap.sh")
endif()
add_library(minizip STATIC ${MINIZIP_DIR}/ioapi.c ${MINIZIP_DIR}/unzip.c)
target_include_directories(minizip SYSTEM PUBLIC ${MINIZIP_DIR})
# USE_FILE32API: the unused stdio fallback calls msvcrt, not the 64-bit wrappers.
target_compile_definitions(minizip PRIVATE NOUNCRYPT USE_FILE32API)
target_compile_options(minizip PRIVATE -w)
# Only what unpacking needs of zlib, from the same sources and for size:
# inflate without the gzip wrapper (the archive's entries are raw deflate),
# the fixed Huffman and the braided CRC tables made at first use (BUILDFIXED,
# DYNAMIC_CRC_TABLE: built before the unpacking threads start) in
# zero-filled data, which takes no room in the file (hence no data sections:
# they would put those tables into .data).
set(ZLIB_DIR ${LUMIDOR_DEPS}/zlib)
add_library(zlib_inflate STATIC ${ZLIB_DIR}/inflate.c ${ZLIB_DIR}/inftrees.c ${ZLIB_DIR}/inffast.c
  ${ZLIB_DIR}/zutil.c ${ZLIB_DIR}/adler32.c ${ZLIB_DIR}/crc32.c)
target_include_directories(zlib_inflate SYSTEM PUBLIC ${ZLIB_DIR})
target_compile_definitions(zlib_inflate PRIVATE NO_GZIP BUILDFIXED DYNAMIC_CRC_TABLE)
target_compile_options(zlib_inflate PRIVATE -w -Os -fno-data-sections -fno-asynchronous-unwind-tables -fno-unwind-tables)
target_link_libraries(minizip PUBLIC zlib_inflate)
