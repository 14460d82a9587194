// Fuzz target: arbitrary bytes through the BMP decoder.
#include "FuzzDecode.h"
#include "image/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzdecode::run(image::decodeBmp, "fuzz.bmp", data, size);
}
