#include "app/PartsList.h"

#include <algorithm>
#include <map>

namespace app {

std::vector<PartCount> partsList(const scene::SceneModel& model, const klotz::KlotzCatalogue& catalogue) {
    std::map<std::string, int> counts;
    for (int type : model.placedTypes())
        ++counts[catalogue.validType(type) ? catalogue.klotzTypes[type].name : "type " + std::to_string(type)];
    std::vector<PartCount> parts;
    for (const auto& entry : counts) parts.push_back({entry.first, entry.second});
    std::stable_sort(parts.begin(), parts.end(), [](const PartCount& a, const PartCount& b) { return a.count > b.count; });
    return parts;
}

std::vector<std::string> formatParts(const std::vector<PartCount>& parts) {
    int pieces = 0;
    for (const PartCount& p : parts) pieces += p.count;
    std::vector<std::string> lines{"parts: " + std::to_string(pieces) + " pieces of " + std::to_string(parts.size()) +
                                   " types"};
    for (const PartCount& p : parts) lines.push_back("part=" + p.type + " count=" + std::to_string(p.count));
    return lines;
}

}  // namespace app
