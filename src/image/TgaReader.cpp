#include "image/TgaReader.h"

#include <algorithm>
#include <vector>

#include "image/ImageFile.h"

namespace image {

namespace {

constexpr std::size_t HEADER_BYTES = 18;
constexpr std::size_t MAX_PACKET_VALUES = 128;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

enum class Status { Ok, Truncated, PacketOverrun, BadIndex };

// Writes decoded values into the output: either copies a pixel or looks an
// index up in the colour map.
class PixelSink {
public:
    PixelSink(std::uint8_t* out, std::size_t components, const std::vector<std::uint8_t>* colourMap)
        : out_(out), components_(components), colourMap_(colourMap) {}

    std::size_t valueBytes() const { return colourMap_ ? 1 : components_; }

    // Writes value `v` to pixel `index`; false when v is an index past the map.
    bool put(std::size_t index, const std::uint8_t* v) {
        std::uint8_t* d = out_ + index * components_;
        if (!colourMap_) {
            std::copy(v, v + components_, d);
            return true;
        }
        const std::size_t entry = static_cast<std::size_t>(v[0]) * components_;
        if (entry + components_ > colourMap_->size()) {
            badIndex_ = v[0];
            return false;
        }
        std::copy(colourMap_->data() + entry, colourMap_->data() + entry + components_, d);
        return true;
    }

    unsigned badIndex() const { return badIndex_; }

private:
    std::uint8_t* out_;
    std::size_t components_;
    const std::vector<std::uint8_t>* colourMap_;
    unsigned badIndex_ = 0;
};

Status decodeRaw(const std::uint8_t* data, std::size_t size, std::size_t pos, std::size_t pixels, PixelSink& sink) {
    const std::size_t vb = sink.valueBytes();
    if ((size - pos) / vb < pixels) return Status::Truncated;
    for (std::size_t i = 0; i < pixels; ++i)
        if (!sink.put(i, data + pos + i * vb)) return Status::BadIndex;
    return Status::Ok;
}

Status decodeRle(const std::uint8_t* data, std::size_t size, std::size_t pos, std::size_t pixels, PixelSink& sink) {
    const std::size_t vb = sink.valueBytes();
    std::size_t done = 0;
    while (done < pixels) {
        if (pos >= size) return Status::Truncated;
        const std::uint8_t h = data[pos++];
        const bool run = h >= 128;
        const std::size_t count = run ? h - 127u : h + 1u;
        if (count > pixels - done) return Status::PacketOverrun;
        if (run) {
            if (size - pos < vb) return Status::Truncated;
            for (std::size_t k = 0; k < count; ++k)
                if (!sink.put(done + k, data + pos)) return Status::BadIndex;
            pos += vb;
        } else {
            if ((size - pos) / vb < count) return Status::Truncated;
            for (std::size_t k = 0; k < count; ++k)
                if (!sink.put(done + k, data + pos + k * vb)) return Status::BadIndex;
            pos += count * vb;
        }
        done += count;
    }
    return Status::Ok;
}

bool refuseType(int type, const std::string& fileName, std::ostream& log) {
    switch (type) {
    case 1: case 2: case 9: case 10:
        return false;
    case 0:
        log << "[ERROR] The file " << fileName << " contains no image data\n";
        break;
    case 3:
        log << "[ERROR] The file " << fileName << " contains black & white data which is unsupported\n";
        break;
    case 11:
        log << "[ERROR] The file " << fileName
            << " contains compressed black & white data which is unsupported\n";
        break;
    case 32:
        log << "[ERROR] The file " << fileName << " contains compressed color map data which is un-supported\n";
        break;
    case 33:
        log << "[ERROR] The file " << fileName
            << " contains compressed color map data which is un-supported (4pass quad tree process)\n";
        break;
    default:
        log << "[ERROR] The file " << fileName << " does not appear to be valid\n";
        break;
    }
    return true;
}

}  // namespace

void swapRedBlue(std::uint8_t* buffer, std::size_t count, std::size_t stride) {
    for (std::size_t i = 0; i < count; ++i) std::swap(buffer[i * stride], buffer[i * stride + 2]);
}

void flipRows(std::uint8_t* buffer, std::size_t rowBytes, std::size_t rows) {
    std::vector<std::uint8_t> temp(rowBytes);
    for (std::size_t i = 0; i < rows / 2; ++i) {
        std::uint8_t* a = buffer + i * rowBytes;
        std::uint8_t* b = buffer + (rows - 1 - i) * rowBytes;
        std::copy(a, a + rowBytes, temp.data());
        std::copy(b, b + rowBytes, a);
        std::copy(temp.begin(), temp.end(), b);
    }
}

bool decodeTga(const std::uint8_t* data, std::size_t size, const std::string& fileName, Image& out,
               std::ostream& log) {
    out = Image{};
    if (data == nullptr || size < HEADER_BYTES) {
        log << "[ERROR] The file " << fileName << " ends inside its header\n";
        return false;
    }
    const std::size_t idLength = data[0];
    const int colourMapType = data[1];
    const int type = data[2];
    const std::size_t colourMapLength = le16(data + 5);
    const int colourMapEntryBits = data[7];
    const std::size_t width = le16(data + 12);
    const std::size_t height = le16(data + 14);
    const int pixelDepth = data[16];

    if (refuseType(type, fileName, log)) return false;
    if (width == 0 || height == 0) {
        log << "[ERROR] The file " << fileName << " has an invalid image size of " << width << " x " << height
            << " pixels\n";
        return false;
    }
    std::size_t pos = HEADER_BYTES + idLength;
    if (pos > size) {
        log << "[ERROR] The file " << fileName << " ends inside its image ID field\n";
        return false;
    }

    const bool colourMapped = type == 1 || type == 9;
    const bool runLength = type == 9 || type == 10;
    std::size_t components = 0;
    std::vector<std::uint8_t> colourMap;
    if (colourMapped) {
        if (colourMapEntryBits != 24 && colourMapEntryBits != 32) {
            log << "[ERROR] The file " << fileName << " has colour map entries of " << colourMapEntryBits
                << " bits; only 24 and 32 are supported\n";
            return false;
        }
        components = static_cast<std::size_t>(colourMapEntryBits) / 8;
        const std::size_t mapBytes = colourMapLength * components;
        if (size - pos < mapBytes) {
            log << "[ERROR] The file " << fileName << " ends inside its colour map\n";
            return false;
        }
        colourMap.assign(data + pos, data + pos + mapBytes);
        swapRedBlue(colourMap.data(), colourMapLength, components);
        pos += mapBytes;
    } else {
        if (pixelDepth != 8 && pixelDepth != 16 && pixelDepth != 24 && pixelDepth != 32) {
            log << "[ERROR] The file " << fileName << " has an unsupported pixel depth of " << pixelDepth
                << " bits\n";
            return false;
        }
        components = static_cast<std::size_t>(pixelDepth) / 8;
        // A true-colour file may still carry a colour map; skip it so the
        // pixels are read from where they start.
        if (colourMapType == 1) {
            const std::size_t mapBytes = colourMapLength * ((static_cast<std::size_t>(colourMapEntryBits) + 7) / 8);
            if (size - pos < mapBytes) {
                log << "[ERROR] The file " << fileName << " ends inside its colour map\n";
                return false;
            }
            pos += mapBytes;
        }
    }

    // Width and height are below 2^16, so these products fit in 64 bits.
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    const std::size_t valueBytes = colourMapped ? 1 : components;
    // Refuse before allocating what the rest of the file cannot fill: one
    // value byte per pixel uncompressed; at most 128 values per packet of
    // header plus one value when run-length encoded.
    const std::uint64_t available = size - pos;
    const std::uint64_t mostValues =
        runLength ? (available / (1 + valueBytes)) * MAX_PACKET_VALUES : available / valueBytes;
    if (pixels > mostValues) {
        log << "[ERROR] The file " << fileName << " ends before its image data is complete\n";
        return false;
    }

    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(pixels * components));
    PixelSink sink(buffer.data(), components, colourMapped ? &colourMap : nullptr);
    const Status status = runLength ? decodeRle(data, size, pos, static_cast<std::size_t>(pixels), sink)
                                    : decodeRaw(data, size, pos, static_cast<std::size_t>(pixels), sink);
    switch (status) {
    case Status::Ok:
        break;
    case Status::Truncated:
        log << "[ERROR] The file " << fileName << " ends before its image data is complete\n";
        return false;
    case Status::PacketOverrun:
        log << "[ERROR] The file " << fileName << " has a run-length packet that runs past the end of the image\n";
        return false;
    case Status::BadIndex:
        log << "[ERROR] The file " << fileName << " uses colour index " << sink.badIndex()
            << " beyond its colour map of " << colourMapLength << " entries\n";
        return false;
    }

    if (!colourMapped && (components == 3 || components == 4)) swapRedBlue(buffer.data(), pixels, components);
    flipRows(buffer.data(), width * components, height);
    out.pixels = std::move(buffer);
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.components = static_cast<int>(components);
    return true;
}

bool readTga(const std::string& fileName, Image& out, std::ostream& log) {
    out = Image{};
    const io::Result<std::string> bytes = readImageFile(fileName, log);
    if (!bytes) return false;
    return decodeTga(bytesOf(*bytes), bytes->size(), fileName, out, log);
}

}  // namespace image
