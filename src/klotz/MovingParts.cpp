#include "klotz/MovingParts.h"

#include <cmath>
#include <sstream>

#include "io/Numbers.h"

namespace klotz {

namespace {

constexpr float DEGREES = 3.14159265358979f / 180.0f;
constexpr float MAX_COORDINATE = 10000.0f;  // world units; far beyond any cell
constexpr float MAX_NUMBER = 1e9f;          // stiffnesses and masses

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == '#') break;
        if (c == ' ' || c == '\t' || c == '\r') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool numbers(const std::vector<std::string>& words, std::size_t from, float limit, std::vector<float>& values) {
    values.clear();
    for (std::size_t i = from; i < words.size(); ++i) {
        float v;
        if (!io::parseFloat(words[i], v) || !std::isfinite(v) || std::fabs(v) > limit) return false;
        values.push_back(v);
    }
    return true;
}

bool nameIsPlain(const std::string& name) {
    if (name.empty() || name.size() > 40) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return false;
    return true;
}

}  // namespace

io::Result<std::vector<PartDecl>> parseMovingParts(const std::string& text, const std::string& path) {
    std::vector<PartDecl> parts;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto error = [&](const std::string& what) { return io::Error{io::Failure::Malformed, path, number, what}; };
    std::vector<float> v;
    bool jointGiven = false;
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> words = wordsOf(line);
        if (words.empty()) continue;
        const std::string& key = words[0];
        if (key == "part") {
            if (words.size() != 2 || !nameIsPlain(words[1]))
                return error("\"part\" takes one name of letters, digits, '_' and '-'");
            if (!parts.empty() && !jointGiven) return error("part \"" + parts.back().name + "\" has no hinge, slider or driven line");
            if (static_cast<int>(parts.size()) == MAX_PARTS) return error("more than " + std::to_string(MAX_PARTS) + " parts");
            parts.emplace_back();
            parts.back().name = words[1];
            jointGiven = false;
            continue;
        }
        if (parts.empty()) return error("\"" + io::printable(key) + "\" before the first \"part\" line");
        PartDecl& p = parts.back();
        const bool place = key == "hinge" || key == "slider" || key == "driven";
        if (!numbers(words, 1, place ? MAX_COORDINATE : MAX_NUMBER, v))
            return error("\"" + io::printable(key) + "\" takes numbers of at most " + (place ? "10000" : "1e9"));
        const std::size_t n = v.size();
        if (key == "hinge" || key == "slider") {
            if (n != 8) return error("\"" + key + "\" takes 8 numbers: pivot, axis, lower and upper limit");
            if (jointGiven) return error("a part moves in one way only");
            const bool hinge = key == "hinge";
            p.joint = hinge ? PartJoint::HINGE : PartJoint::SLIDER;
            p.pivot = {v[0], v[1], v[2]};
            p.axis = {v[3], v[4], v[5]};
            if (std::sqrt(v[3] * v[3] + v[4] * v[4] + v[5] * v[5]) < 1e-3f) return error("the axis is zero");
            const float scale = hinge ? DEGREES : 1.0f;
            p.lower = v[6] * scale;
            p.upper = v[7] * scale;
            if (!(p.lower <= p.upper) || (hinge && (v[6] < -180 || v[7] > 180)))
                return error("the limits must be in order" + std::string(hinge ? " and within -180..180 degrees" : ""));
            jointGiven = true;
        } else if (key == "driven") {
            if (n < 5 || (n - 2) % 3 != 0 || static_cast<int>((n - 2) / 3) > MAX_PATH_POINTS)
                return error("\"driven\" takes speed, pause and 1 to " + std::to_string(MAX_PATH_POINTS) + " points X Y Z");
            if (jointGiven) return error("a part moves in one way only");
            if (!(v[0] > 0) || v[1] < 0) return error("the speed must be positive, the pause not negative");
            p.joint = PartJoint::DRIVEN;
            p.speed = v[0];
            p.pause = v[1];
            for (std::size_t i = 2; i + 2 < n; i += 3) p.path.push_back({v[i], v[i + 1], v[i + 2]});
            jointGiven = true;
        } else if (key == "mass") {
            if (n != 1 || !(v[0] > 0)) return error("\"mass\" takes one positive number");
            p.mass = v[0];
        } else if (key == "spring") {
            if (n != 2 || v[0] < 0) return error("\"spring\" takes a stiffness (not negative) and a rest position");
            p.spring = v[0];
            p.rest = v[1] * (p.joint == PartJoint::HINGE ? DEGREES : 1.0f);
            p.bistable = false;
        } else if (key == "bistable") {
            if (n != 1 || v[0] < 0) return error("\"bistable\" takes a stiffness, not negative");
            p.spring = v[0];
            p.bistable = true;
        } else if (key == "damping" || key == "restitution") {
            if (n != 1 || v[0] < 0 || v[0] > 1) return error("\"" + key + "\" takes one number from 0 to 1");
            (key == "damping" ? p.damping : p.restitution) = v[0];
        } else {
            return error("unknown word \"" + io::printable(key) + "\"");
        }
    }
    if (!parts.empty() && !jointGiven) {
        ++number;
        return error("part \"" + parts.back().name + "\" has no hinge, slider or driven line");
    }
    return parts;
}

}  // namespace klotz
