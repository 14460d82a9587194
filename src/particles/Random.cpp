#include "particles/Random.h"

#include <ctime>
#include <memory>

namespace particles {

RandomSource timeSeededRandom() {
    auto generator = std::make_shared<Random>(static_cast<std::uint32_t>(std::time(nullptr)));
    return [generator] { return generator->next(); };
}

}  // namespace particles
