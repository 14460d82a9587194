// Reading and checking a scene file's text (parseScene of SceneFile.h).
#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string_view>

#include "io/Numbers.h"
#include "io/WordScanner.h"
#include "scene/SceneFile.h"

namespace scene {

namespace {

const char* const SECTION_TITLES[] = {"", "ball start per cell", "ball starting points", "cell stacks",
                                      "klotz types", "klotz poses", "selection"};

// Far beyond any real run (a full grid 50 levels high); a bigger scene
// would take minutes and gigabytes to build.
constexpr int MAX_KLOETZE = 20000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal integer, optional sign.
bool parseInt(std::string_view token, int& value) {
    long long v = 0;
    if (!io::parseInteger(token, v)) return false;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(v);
    return true;
}

// Decimal floating-point number (any exponent width) that fits a float.
bool parseFloat(std::string_view token, float& value) {
    // The reader would also take "inf", "nan" and hexadecimal digits.
    bool digit = false;
    for (char c : token) {
        if (isDigit(c)) digit = true;
        else if (c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+') return false;
    }
    return digit && io::parseFloat(token, value);
}

class Parser {
public:
    explicit Parser(const std::string& text) : scanner_(text) {}

    void section(int s) { section_ = s; }
    int number() const { return number_; }  // of the number read last, from 1
    const io::Error& error() const { return error_; }

    bool fail(int atNumber, const std::string& what) {
        std::ostringstream msg;
        msg << "section " << section_ << " (" << SECTION_TITLES[section_] << "), number " << atNumber << ": "
            << what;
        error_ = io::Error{io::Failure::Malformed, std::string(), 0, msg.str()};
        return false;
    }

    bool readInt(int& value, const char* what) {
        std::string_view token;
        if (!next(token)) return fail(number_ + 1, std::string("the file ends before ") + what);
        if (!parseInt(token, value))
            return fail(number_, "\"" + io::printable(token.substr(0, 40)) + "\" is not an integer (" + what + ")");
        return true;
    }

    bool readFloat(float& value) {
        std::string_view token;
        if (!next(token)) return fail(number_ + 1, "the file ends before a pose element");
        if (!parseFloat(token, value))
            return fail(number_,
                        "\"" + io::printable(token.substr(0, 40)) + "\" is not a finite single-precision number");
        return true;
    }

    // At most this many numbers can still follow: each needs a character and
    // a separator. Bounds every count before anything is allocated for it.
    long long numbersLeft() const { return (static_cast<long long>(scanner_.remainingBytes()) + 1) / 2; }

private:
    bool next(std::string_view& token) {
        const io::Word w = scanner_.next();
        if (w.empty()) return false;
        token = w.view();
        ++number_;
        return true;
    }

    io::WordScanner scanner_;
    io::Error error_;
    int number_ = 0;
    int section_ = 1;
};

bool rigid(const PoseMatrix& m) {
    const float tolerance = 1e-4f;  // float rounding of a turned pose is ~1e-7
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            float dot = 0.0f;
            for (int i = 0; i < 3; ++i) dot += m[4 * a + i] * m[4 * b + i];
            if (std::fabs(dot - (a == b ? 1.0f : 0.0f)) > tolerance) return false;
        }
    const float det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                      m[8] * (m[1] * m[6] - m[5] * m[2]);
    return det > 0.0f && std::fabs(m[3]) <= tolerance && std::fabs(m[7]) <= tolerance &&
           std::fabs(m[11]) <= tolerance && std::fabs(m[15] - 1.0f) <= tolerance;
}

// Reads and checks the whole scene; false, with p's error, at the first
// fault.
bool readScene(Parser& p, int typeCount, SceneFileData& data) {
    p.section(1);
    for (int cell = 0; cell < CELL_COUNT; ++cell)
        if (!p.readInt(data.cellBallStart[cell], "the ball start of every cell")) return false;

    p.section(2);
    int balls = 0;
    if (!p.readInt(balls, "the number of ball starting points")) return false;
    const int ballCountNumber = p.number();
    // A negative count means no entries, in this section and the next two.
    balls = std::max(balls, 0);
    if (balls > CELL_COUNT)
        return p.fail(ballCountNumber, std::to_string(balls) + " ball starting points, expected at most 400");
    data.ballStarts.resize(balls);
    for (int b = 0; b < balls; ++b) {
        BallStart& s = data.ballStarts[b];
        if (!p.readInt(s.row, "a ball start's row") || !p.readInt(s.column, "a ball start's column")) return false;
        if (!onGrid(s.row, s.column))
            return p.fail(p.number() - 1, "ball start " + std::to_string(b) + " at row " + std::to_string(s.row) +
                                              ", column " + std::to_string(s.column) + " is off the grid");
    }

    p.section(3);
    std::vector<int> entryNumbers;  // number of each stack entry, for the checks below
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        int k = 0;
        if (!p.readInt(k, "a cell's stack size")) return false;
        k = std::max(k, 0);
        if (k > p.numbersLeft())
            return p.fail(p.number(), "cell " + std::to_string(cell) + " claims " + std::to_string(k) +
                                          " kloetze, but the file holds at most " +
                                          std::to_string(p.numbersLeft()) + " more numbers");
        data.cellStack[cell].resize(k);
        for (int& entry : data.cellStack[cell]) {
            if (!p.readInt(entry, "a klotz index of a stack")) return false;
            entryNumbers.push_back(p.number());
        }
    }

    p.section(4);
    int placed = 0;
    if (!p.readInt(placed, "the number of kloetze")) return false;
    const int placedCountNumber = p.number();
    // Each klotz needs its type and 16 pose elements.
    placed = std::max(placed, 0);
    if (placed > MAX_KLOETZE)
        return p.fail(placedCountNumber, std::to_string(placed) + " kloetze, more than the " +
                                             std::to_string(MAX_KLOETZE) + " a scene may hold");
    if (placed > p.numbersLeft() / 17)
        return p.fail(placedCountNumber, std::to_string(placed) + " kloetze, but the file holds at most " +
                                             std::to_string(p.numbersLeft() / 17) +
                                             " (a type and 16 pose elements each)");
    data.klotzTypes.resize(placed);
    for (int j = 0; j < placed; ++j) {
        int& t = data.klotzTypes[j];
        if (!p.readInt(t, "a klotz type")) return false;
        if (t < 0 || t >= typeCount)
            return p.fail(p.number(), "klotz " + std::to_string(j) + " has type " + std::to_string(t) +
                                          ", the catalogue has " + std::to_string(typeCount) + " types");
    }

    p.section(5);
    data.poses.resize(placed);
    for (int j = 0; j < placed; ++j) {
        for (float& element : data.poses[j])
            if (!p.readFloat(element)) return false;
        if (!rigid(data.poses[j]))
            return p.fail(p.number() - 15, "the pose of klotz " + std::to_string(j) + " is not a rigid transform");
    }

    p.section(6);
    if (!p.readInt(data.selectedRow, "the selected row") || !p.readInt(data.selectedColumn, "the selected column"))
        return false;
    if (!onGrid(data.selectedRow, data.selectedColumn))
        return p.fail(p.number() - 1, "the selected cell (" + std::to_string(data.selectedRow) + ", " +
                                          std::to_string(data.selectedColumn) + ") is off the grid");
    // Numbers after the selection are ignored.

    // Sections 1 and 2 must describe the same ball starts: every start on
    // exactly its own cell.
    p.section(1);
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        const int b = data.cellBallStart[cell];
        if (b == -1) continue;
        if (b < 0 || b >= balls)
            return p.fail(cell + 1, "cell " + std::to_string(cell) + " names ball start " + std::to_string(b) +
                                        ", but there are only " + std::to_string(balls));
        const BallStart& s = data.ballStarts[b];
        if (cellIndex(s.row, s.column) != cell)
            return p.fail(cell + 1, "cell " + std::to_string(cell) + " names ball start " + std::to_string(b) +
                                        ", which starts on cell " + std::to_string(cellIndex(s.row, s.column)));
    }
    p.section(2);
    for (int b = 0; b < balls; ++b) {
        const BallStart& s = data.ballStarts[b];
        if (data.cellBallStart[cellIndex(s.row, s.column)] != b)
            return p.fail(ballCountNumber + 1 + 2 * b, "ball start " + std::to_string(b) + " on cell " +
                                                           std::to_string(cellIndex(s.row, s.column)) +
                                                           " is not named by that cell in section 1");
    }

    // Section 3: every klotz 0..M-1 stands exactly once.
    p.section(3);
    std::vector<char> seen(placed, 0);
    std::size_t e = 0;
    for (int cell = 0; cell < CELL_COUNT; ++cell)
        for (int i : data.cellStack[cell]) {
            const int at = entryNumbers[e++];
            if (i < 0 || i >= placed)
                return p.fail(at, "cell " + std::to_string(cell) + " stacks klotz " + std::to_string(i) +
                                      ", but there are only " + std::to_string(placed));
            if (seen[i]) return p.fail(at, "klotz " + std::to_string(i) + " stands in two places");
            seen[i] = 1;
        }
    p.section(4);
    for (int i = 0; i < placed; ++i)
        if (!seen[i])
            return p.fail(placedCountNumber, "klotz " + std::to_string(i) + " stands in no stack of section 3");
    return true;
}

}  // namespace

io::Result<SceneFileData> parseScene(const std::string& text, int typeCount) {
    Parser p(text);
    SceneFileData data;
    if (!readScene(p, typeCount, data)) return p.error();
    return data;
}

}  // namespace scene
