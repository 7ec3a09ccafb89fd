// Arbitrary bytes as PNG: no crash, no read or write outside the buffers.
#include "formats/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvex::imageFromMemory({data, size});
    return 0;
}
