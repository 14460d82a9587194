// Fuzz target: arbitrary bytes through the TGA decoder.
#include "FuzzDecode.h"
#include "image/TgaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzdecode::run(image::decodeTga, "fuzz.tga", data, size);
}
