#include "formats/png_image.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace tarvex {
namespace {

constexpr std::size_t kSignatureSize = 8;

// No chunk outside the image data needs more memory than this; a chunk that
// claims more (a damaged length, say) ends the decode before any memory is
// taken for it.
constexpr png_alloc_size_t kLargestChunk = 1 << 20;

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

// libpng reports errors by longjmp to the setjmp of the innermost of the
// functions below. So that the jump never leaves a frame whose objects need
// destroying, those functions and the callbacks hold only plain values, and
// everything with a destructor lives in imageFromMemory's frame, which the
// jump never crosses.

void readFromMemory(png_structp png, png_bytep out, std::size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->offset) {
        png_error(png, "PNG data ends early");
    }
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
}

// The tool has no place to report libpng's messages: errors end the decode,
// warnings are dropped.
void failSilently(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

struct Layout {
    png_uint_32 width;
    png_uint_32 height;
    png_byte channels;
    std::size_t rowBytes;
};

// Reads the header and asks for 8-bit blue-green-red(-alpha) rows.
bool readLayout(png_structp png, png_infop info, Layout* layout) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_sig_bytes(png, static_cast<int>(kSignatureSize));
    png_read_info(png, info);
    const png_byte colourType = png_get_color_type(png, info);
    const png_byte bitDepth = png_get_bit_depth(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->channels = png_get_channels(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    return png_get_bit_depth(png, info) == 8 && (layout->channels == 3 || layout->channels == 4) &&
           layout->rowBytes == std::size_t{layout->width} * layout->channels;
}

// Reads every row (every pass of an interlaced picture) and the chunks after
// the image data, so a damaged end is noticed too.
bool readRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

class ReadStruct {
public:
    ReadStruct()
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failSilently, ignoreWarning)),
          info_(png_ ? png_create_info_struct(png_) : nullptr) {}
    ReadStruct(const ReadStruct&) = delete;
    ReadStruct& operator=(const ReadStruct&) = delete;
    ~ReadStruct() {
        if (png_) {
            png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
        }
    }

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

} // namespace

std::optional<Image> imageFromMemory(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kSignatureSize || png_sig_cmp(bytes.data(), 0, kSignatureSize) != 0) {
        return std::nullopt;
    }
    ReadStruct read;
    if (!read.png() || !read.info()) {
        return std::nullopt;
    }
    MemoryReader reader{bytes.data(), bytes.size(), kSignatureSize};
    png_set_read_fn(read.png(), &reader, readFromMemory);
    png_set_user_limits(read.png(), kLargestImageSide, kLargestImageSide);
    png_set_chunk_malloc_max(read.png(), kLargestChunk);
    // libpng only warns about some damage (such as that oversized chunk) and
    // reads on; for the tool any damage means no picture.
    png_set_benign_errors(read.png(), 0);

    Layout layout{};
    if (!readLayout(read.png(), read.info(), &layout)) {
        return std::nullopt;
    }
    Image image;
    image.width = layout.width;
    image.height = layout.height;
    image.bitsPerPixel = layout.channels * 8u;
    image.pixels.resize(layout.rowBytes * layout.height);
    std::vector<png_bytep> rows(layout.height);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        rows[row] = image.pixels.data() + row * layout.rowBytes;
    }
    if (!readRows(read.png(), read.info(), rows.data())) {
        return std::nullopt;
    }
    return image;
}

} // namespace tarvex
