# zstd from its own sources in third_party/zstd (its README says what is
# there and why).
#   kestro_zstd_decoder(NAME KIND)  the decoder alone, built for size: the
#                                   stub links it as objects (KIND OBJECT)
#   kestro_zstd_encoder(NAME)       decoder and encoder as one static library,
#                                   for the Windows tree's packager and tests
#                                   (no zstd for MinGW in the distribution)
get_filename_component(KESTRO_ZSTD_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../third_party/zstd/lib ABSOLUTE)
set(KESTRO_ZSTD_DECODER_SOURCES
  common/debug.c common/entropy_common.c common/error_private.c common/fse_decompress.c
  common/xxhash.c common/zstd_common.c
  decompress/huf_decompress.c decompress/zstd_ddict.c decompress/zstd_decompress.c
  decompress/zstd_decompress_block.c)
set(KESTRO_ZSTD_ENCODER_SOURCES
  compress/fse_compress.c compress/hist.c compress/huf_compress.c compress/zstd_compress.c
  compress/zstd_compress_literals.c compress/zstd_compress_sequences.c
  compress/zstd_compress_superblock.c compress/zstd_double_fast.c compress/zstd_fast.c
  compress/zstd_lazy.c compress/zstd_ldm.c compress/zstd_opt.c)
# zstd's own switches for a small decoder (lib/README.md of its sources): one
# Huffman decoder and one sequence decoder instead of two of each, no frames of
# the formats before 1.0, no error texts (nobody reads them: a damaged block
# is reported as damaged), no assembly (the x86-64 Huffman loop is for ELF).
set(KESTRO_ZSTD_DEFINES ZSTD_LEGACY_SUPPORT=0 HUF_FORCE_DECOMPRESS_X1
    ZSTD_FORCE_DECOMPRESS_SEQUENCES_SHORT ZSTD_STRIP_ERROR_STRINGS ZSTD_DISABLE_ASM
    ZSTD_TRACE=0 DEBUGLEVEL=0)

function(kestro_zstd_decoder name kind)
  list(TRANSFORM KESTRO_ZSTD_DECODER_SOURCES PREPEND ${KESTRO_ZSTD_SOURCE}/ OUTPUT_VARIABLE sources)
  add_library(${name} ${kind} ${sources})
  target_compile_definitions(${name} PRIVATE ${KESTRO_ZSTD_DEFINES})
  target_include_directories(${name} INTERFACE ${KESTRO_ZSTD_SOURCE})
endfunction()

function(kestro_zstd_encoder name)
  list(TRANSFORM KESTRO_ZSTD_DECODER_SOURCES PREPEND ${KESTRO_ZSTD_SOURCE}/ OUTPUT_VARIABLE dec)
  list(TRANSFORM KESTRO_ZSTD_ENCODER_SOURCES PREPEND ${KESTRO_ZSTD_SOURCE}/ OUTPUT_VARIABLE enc)
  add_library(${name} STATIC ${dec} ${enc})
  target_compile_definitions(${name} PRIVATE ${KESTRO_ZSTD_DEFINES})
  target_include_directories(${name} INTERFACE ${KESTRO_ZSTD_SOURCE})
endfunction()
