/* Decodes and encodes PNG and JPEG images with whichever libpng and libjpeg
 * it is linked with and prints what it saw, so that the release's UCRT build
 * can be compared line by line with Debian's own libraries. Error paths
 * (longjmp out of the libraries) print their messages and go on. */
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>
#include <png.h>

static unsigned hashOf(const unsigned char* bytes, size_t size) {
    unsigned hash = 2166136261u;
    while (size--) {
        hash = (hash ^ *bytes++) * 16777619u;
    }
    return hash;
}

/* Decodes from the file at path, or from memory when path is null. */
static unsigned char* decodePng(png_imagep image, const char* path, const void* bytes,
                                size_t size) {
    memset(image, 0, sizeof *image);
    image->version = PNG_IMAGE_VERSION;
    unsigned char* pixels = NULL;
    if (!(path ? png_image_begin_read_from_file(image, path)
               : png_image_begin_read_from_memory(image, bytes, size)) ||
        !(pixels = malloc(PNG_IMAGE_SIZE(*image) + PNG_IMAGE_COLORMAP_SIZE(*image))) ||
        !png_image_finish_read(image, NULL, pixels, 0, pixels + PNG_IMAGE_SIZE(*image))) {
        printf(" [%s]", image->message);
        free(pixels);
        return NULL;
    }
    const size_t colormap =
        image->format & PNG_FORMAT_FLAG_COLORMAP ? PNG_IMAGE_COLORMAP_SIZE(*image) : 0;
    printf(" %ux%u format %x pixels %08x", image->width, image->height, image->format,
           hashOf(pixels, PNG_IMAGE_SIZE(*image) + colormap));
    return pixels;
}

/* From the file, from memory, encoded again and decoded from memory and from
 * a file, then damaged in its data and cut short. */
static void checkPng(const char* path, const char* scratch) {
    FILE* file = fopen(path, "rb");
    static unsigned char bytes[1 << 16], out[1 << 16]; /* no stack probes */
    size_t size = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    png_image image, again;
    printf("%s:", strrchr(path, '/') + 1);
    free(decodePng(&image, path, NULL, 0));
    unsigned char* pixels = decodePng(&image, NULL, bytes, size);
    png_alloc_size_t encoded = sizeof bytes;
    const void* colormap = pixels + PNG_IMAGE_SIZE(image);
    if (png_image_write_to_memory(&image, out, &encoded, 0, pixels, 0, colormap) &&
        png_image_write_to_file(&image, scratch, 0, pixels, 0, colormap)) {
        printf(" encoded %u bytes %08x,", (unsigned)encoded, hashOf(out, encoded));
        free(decodePng(&again, NULL, out, encoded));
        free(decodePng(&again, scratch, NULL, 0));
    }
    bytes[size / 2] ^= 0x55;
    free(decodePng(&again, NULL, bytes, size));
    free(decodePng(&again, NULL, bytes, size / 2));
    printf("\n");
    free(pixels);
}

struct JpegError {
    struct jpeg_error_mgr manager;
    jmp_buf escape;
};

/* Warnings are printed; the error that ends a decode is marked as such. */
static void jpegSaid(j_common_ptr codec) {
    char text[JMSG_LENGTH_MAX];
    codec->err->format_message(codec, text);
    printf(" {%s}", text);
}

static void jpegFailed(j_common_ptr codec) {
    jpegSaid(codec);
    printf(" failed");
    longjmp(((struct JpegError*)codec->err)->escape, 1);
}

/* From memory, or from the file when one is given. */
static void decodeJpeg(const unsigned char* bytes, unsigned long size, FILE* file) {
    struct jpeg_decompress_struct codec;
    struct JpegError error;
    codec.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    error.manager.output_message = jpegSaid;
    unsigned char* pixels = NULL;
    if (setjmp(error.escape) == 0) {
        jpeg_create_decompress(&codec);
        file ? jpeg_stdio_src(&codec, file) : jpeg_mem_src(&codec, bytes, size);
        jpeg_read_header(&codec, TRUE);
        jpeg_start_decompress(&codec);
        const size_t row = codec.output_width * (size_t)codec.output_components;
        pixels = malloc(row * codec.output_height);
        while (codec.output_scanline < codec.output_height) {
            JSAMPROW at = pixels + row * codec.output_scanline;
            jpeg_read_scanlines(&codec, &at, 1);
        }
        jpeg_finish_decompress(&codec);
        printf(" %ux%ux%d pixels %08x warnings %ld", codec.output_width, codec.output_height,
               codec.output_components, hashOf(pixels, row * codec.output_height),
               error.manager.num_warnings);
    }
    jpeg_destroy_decompress(&codec);
    free(pixels);
}

/* Encodes a pattern of odd size, decodes it from memory and from a file,
 * then with its header damaged, its scan damaged and cut short. */
static void checkJpeg(int components, int progressive, const char* scratch) {
    enum { kWidth = 61, kHeight = 37 };
    static unsigned char pattern[kWidth * kHeight * 3];
    for (size_t i = 0; i < sizeof pattern; ++i) {
        pattern[i] = (unsigned char)(i * 7 + (i / 97) * 13);
    }
    struct jpeg_compress_struct codec;
    struct jpeg_error_mgr error;
    codec.err = jpeg_std_error(&error);
    jpeg_create_compress(&codec);
    unsigned char* bytes = NULL;
    unsigned long size = 0;
    jpeg_mem_dest(&codec, &bytes, &size);
    codec.image_width = kWidth;
    codec.image_height = kHeight;
    codec.input_components = components;
    codec.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, 85, TRUE);
    if (progressive) {
        jpeg_simple_progression(&codec);
    }
    jpeg_start_compress(&codec, TRUE);
    while (codec.next_scanline < kHeight) {
        JSAMPROW row = pattern + codec.next_scanline * kWidth * components;
        jpeg_write_scanlines(&codec, &row, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    printf("jpeg %d components%s: %lu bytes %08x,", components, progressive ? " progressive" : "",
           size, hashOf(bytes, size));
    decodeJpeg(bytes, size, NULL);
    FILE* file = fopen(scratch, "wb");
    fwrite(bytes, 1, size, file);
    fclose(file);
    file = fopen(scratch, "rb");
    decodeJpeg(NULL, 0, file);
    fclose(file);
    bytes[0] ^= 0xFF;
    decodeJpeg(bytes, size, NULL);
    bytes[0] ^= 0xFF;
    memset(bytes + size / 2, 0xD3, 16);
    decodeJpeg(bytes, size, NULL);
    decodeJpeg(bytes, size / 2, NULL);
    decodeJpeg(bytes, 200, NULL);
    printf("\n");
    free(bytes);
}

/* image_check SCRATCH_FOLDER PNG_FILE... (paths with forward slashes) */
int main(int argc, char** argv) {
    char png[512], jpeg[512];
    snprintf(png, sizeof png, "%s/again.png", argv[1]);
    snprintf(jpeg, sizeof jpeg, "%s/again.jpg", argv[1]);
    for (int i = 2; i < argc; ++i) {
        checkPng(argv[i], png);
    }
    for (int components = 1; components <= 3; components += 2) {
        checkJpeg(components, 0, jpeg);
        checkJpeg(components, 1, jpeg);
    }
    return 0;
}

#ifdef _MSC_VER
/* Linked without Visual C++'s start-up code: the UCRT's own exports set up
 * the arguments, and the floating-point marker is ours to give. */
#include <fcntl.h>
#include <io.h>
int _fltused = 0x9875;
int __cdecl _configure_narrow_argv(int mode);
int* __cdecl __p___argc(void);
char*** __cdecl __p___argv(void);
void __cdecl imageCheckEntry(void) {
    _configure_narrow_argv(1);
    _setmode(_fileno(stdout), _O_BINARY);
    exit(main(*__p___argc(), *__p___argv()));
}
#endif
