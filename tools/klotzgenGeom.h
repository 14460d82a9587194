// Solid modelling for the klotz generator: a piece is a union of closed
// convex parts, each built as the convex hull of a handful of points and
// written as its own shell of triangles wound counter-clockwise seen from
// outside. Parts may touch; each keeps its own vertices, so the loader's
// normal smoothing never blends two parts. Units: world units (cell 50).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace klotzgen {

constexpr double PI = 3.14159265358979323846;

struct V3 {
    double x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double length(V3 a) { return std::sqrt(dot(a, a)); }

// A point of the plan (the horizontal x-z plane).
struct P2 {
    double x = 0, z = 0;
};
using Poly2 = std::vector<P2>;

inline Poly2 rect(double x0, double x1, double z0, double z1) { return {{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}}; }

// Direction of plan angle a (degrees): (cos a, sin a) as (x, z).
inline P2 dirDeg(double a) { return {std::cos(a * PI / 180.0), std::sin(a * PI / 180.0)}; }
inline P2 arcPoint(P2 c, double r, double a) {
    P2 d = dirDeg(a);
    return {c.x + r * d.x, c.z + r * d.z};
}

// The part of a convex polygon where the affine function keep(p) >= 0.
inline Poly2 clip(const Poly2& poly, const std::function<double(P2)>& keep) {
    Poly2 out;
    const std::size_t n = poly.size();
    for (std::size_t i = 0; i < n; ++i) {
        P2 a = poly[i], b = poly[(i + 1) % n];
        double fa = keep(a), fb = keep(b);
        if (fa >= 0) out.push_back(a);
        if ((fa >= 0) != (fb >= 0)) {
            double t = fa / (fa - fb);
            out.push_back({a.x + t * (b.x - a.x), a.z + t * (b.z - a.z)});
        }
    }
    return out;
}

inline double area(const Poly2& poly) {
    double s = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const P2& a = poly[i];
        const P2& b = poly[(i + 1) % poly.size()];
        s += a.x * b.z - b.x * a.z;
    }
    return std::fabs(s) / 2;
}

// The ring sector between radii r0 < r1 and plan angles a0 < a1 around c,
// its arcs replaced by chords.
inline Poly2 ringSegment(P2 c, double r0, double r1, double a0, double a1) {
    return {arcPoint(c, r0, a0), arcPoint(c, r1, a0), arcPoint(c, r1, a1), arcPoint(c, r0, a1)};
}

// The pie slice of radius r from a0 to a1 (degrees) in n chords.
inline Poly2 pie(P2 c, double r, double a0, double a1, int n) {
    Poly2 p{c};
    for (int i = 0; i <= n; ++i) p.push_back(arcPoint(c, r, a0 + (a1 - a0) * i / n));
    return p;
}

// What of the convex region lies in the wedge a0..a1 around c (a1 - a0 below
// 180 degrees) beyond the chord of radius r: one segment of a wall outside
// a circular groove.
inline Poly2 outsideChord(const Poly2& region, P2 c, double r, double a0, double a1) {
    P2 d0 = dirDeg(a0), d1 = dirDeg(a1);
    Poly2 p = clip(region, [&](P2 q) { return d0.x * (q.z - c.z) - d0.z * (q.x - c.x); });
    p = clip(p, [&](P2 q) { return -(d1.x * (q.z - c.z) - d1.z * (q.x - c.x)); });
    P2 m = dirDeg((a0 + a1) / 2);
    P2 a = arcPoint(c, r, a0);
    return clip(p, [&](P2 q) { return m.x * (q.x - a.x) + m.z * (q.z - a.z); });
}

// The corners of a flat convex point set in counter-clockwise order seen
// from the side normal points to; points inside or on a straight edge are
// left out (they would give zero-area triangles).
inline std::vector<V3> faceOutline(const std::vector<V3>& face, V3 normal) {
    V3 c;
    for (const V3& p : face) c = c + p;
    c = c * (1.0 / face.size());
    V3 u{1, 0, 0};
    for (const V3& p : face)
        if (length(p - c) > 1e-6) {
            u = (p - c) * (1.0 / length(p - c));
            break;
        }
    V3 w = cross(normal, u);
    struct Q {
        double a, b;
        V3 p;
    };
    std::vector<Q> q;
    for (const V3& p : face) q.push_back({dot(p - c, u), dot(p - c, w), p});
    std::sort(q.begin(), q.end(), [](const Q& l, const Q& r) { return l.a < r.a || (l.a == r.a && l.b < r.b); });
    auto turn = [](const Q& o, const Q& a, const Q& b) { return (a.a - o.a) * (b.b - o.b) - (a.b - o.b) * (b.a - o.a); };
    std::vector<Q> hull(2 * q.size());
    std::size_t k = 0;
    const double EPS = 1e-6;
    for (std::size_t i = 0; i < q.size(); ++i) {
        while (k >= 2 && turn(hull[k - 2], hull[k - 1], q[i]) <= EPS) --k;
        hull[k++] = q[i];
    }
    for (std::size_t i = q.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && turn(hull[k - 2], hull[k - 1], q[i]) <= EPS) --k;
        hull[k++] = q[i];
    }
    std::vector<V3> out;
    for (std::size_t i = 0; i + 1 < k; ++i) out.push_back(hull[i].p);
    return out;
}

class Piece {
public:
    Piece(std::string name, std::string summary) : name_(std::move(name)), summary_(std::move(summary)) {}

    const std::string& name() const { return name_; }
    const std::string& summary() const { return summary_; }
    int faceCount() const { return static_cast<int>(faces_.size()); }
    int partCount() const { return parts_; }

    // Parts added after this are mirrored z -> -z (a left-hand version).
    void setMirrorZ(bool mirror) { mirrorZ_ = mirror; }

    // The convex hull of the points as one closed part. Too few or flat
    // point sets (under a hundredth of a cubic unit) are skipped.
    void addHull(std::vector<V3> points) { addHull(std::move(points), false); }
    // The same, but a part whose shell comes out not closed or not convex
    // (a sliver too thin to hull reliably) is left out.
    void addCheckedHull(std::vector<V3> points) { addHull(std::move(points), true); }

    // Vertical prism over a convex plan polygon, bottom and top given per
    // plan point (the top must be affine over the polygon to stay exact).
    void addPrism(const Poly2& plan, const std::function<double(P2)>& bottom, const std::function<double(P2)>& top) {
        if (plan.size() < 3 || area(plan) < 0.01) return;
        std::vector<V3> pts;
        for (const P2& p : plan) {
            pts.push_back({p.x, bottom(p), p.z});
            pts.push_back({p.x, top(p), p.z});
        }
        addHull(pts);
    }
    void addPrism(const Poly2& plan, double y0, double y1) {
        addPrism(plan, [=](P2) { return y0; }, [=](P2) { return y1; });
    }
    void addBox(double x0, double x1, double y0, double y1, double z0, double z1) {
        addPrism(rect(x0, x1, z0, z1), y0, y1);
    }

    // OBJ text; the model sits in the box x 0..50, y 0..50, z -50..0, so
    // the local frame point p is written as p + (25, 25, -25).
    std::string objText() const;

private:
    void addHull(std::vector<V3> points, bool checked);

    std::string name_;
    std::string summary_;
    bool mirrorZ_ = false;
    int parts_ = 0;
    std::vector<V3> vertices_;
    std::vector<std::array<int, 3>> faces_;
};

inline void Piece::addHull(std::vector<V3> points, bool checked) {
    const double MERGE = 1e-3;  // points closer than this are one
    const double FLAT = 1e-3;   // distance from a plane still counted on it
    if (mirrorZ_)
        for (V3& p : points) p.z = -p.z;
    std::vector<V3> pts;
    for (const V3& p : points) {
        bool dup = false;
        for (const V3& q : pts) dup = dup || length(p - q) < MERGE;
        if (!dup) pts.push_back(p);
    }
    const int n = static_cast<int>(pts.size());
    if (n < 4) return;

    struct Plane {
        V3 normal;
        double d;
    };
    std::vector<Plane> planes;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (int k = j + 1; k < n; ++k) {
                V3 nrm = cross(pts[j] - pts[i], pts[k] - pts[i]);
                double len = length(nrm);
                if (len < 1e-6) continue;
                nrm = nrm * (1.0 / len);
                double d = dot(nrm, pts[i]);
                bool above = false, below = false;
                for (const V3& p : pts) {
                    double s = dot(nrm, p) - d;
                    above = above || s > FLAT;
                    below = below || s < -FLAT;
                }
                if (above == below) continue;  // cuts the set, or all on the plane
                if (above) {
                    nrm = nrm * -1.0;
                    d = -d;
                }
                bool known = false;
                for (const Plane& pl : planes)
                    known = known || (length(pl.normal - nrm) < 1e-6 && std::fabs(pl.d - d) < 1e-6);
                // Nearly equal planes through the same points give the same face.
                if (!known)
                    for (const Plane& pl : planes)
                        known = known || (length(pl.normal - nrm) < 1e-3 && std::fabs(pl.d - d) < FLAT);
                if (!known) planes.push_back({nrm, d});
            }
    if (planes.size() < 4) return;

    std::vector<V3> used;
    std::vector<std::array<int, 3>> tris;
    auto indexOf = [&](const V3& p) {
        for (std::size_t i = 0; i < used.size(); ++i)
            if (length(used[i] - p) < MERGE) return static_cast<int>(i);
        used.push_back(p);
        return static_cast<int>(used.size() - 1);
    };
    double volume6 = 0;
    for (const Plane& pl : planes) {
        std::vector<V3> face;
        for (const V3& p : pts)
            if (std::fabs(dot(pl.normal, p) - pl.d) <= FLAT) face.push_back(p);
        if (face.size() < 3) continue;
        face = faceOutline(face, pl.normal);
        for (std::size_t i = 1; i + 1 < face.size(); ++i) {
            if (length(cross(face[i] - face[0], face[i + 1] - face[0])) < 1e-6) continue;
            tris.push_back({indexOf(face[0]), indexOf(face[i]), indexOf(face[i + 1])});
            volume6 += dot(face[0], cross(face[i], face[i + 1]));
        }
    }
    if (volume6 < 0.06) return;
    if (checked) {
        std::vector<std::array<int, 2>> edges;
        for (const auto& t : tris) {
            const V3 n = cross(used[t[1]] - used[t[0]], used[t[2]] - used[t[0]]);
            if (length(n) < 1e-4) return;
            for (const V3& q : used)
                if (dot(n * (1.0 / length(n)), q - used[t[0]]) > 1e-3) return;
            for (int k = 0; k < 3; ++k) edges.push_back({t[k], t[(k + 1) % 3]});
        }
        std::sort(edges.begin(), edges.end());
        if (std::adjacent_find(edges.begin(), edges.end()) != edges.end()) return;
        for (const auto& e : edges)
            if (!std::binary_search(edges.begin(), edges.end(), std::array<int, 2>{e[1], e[0]})) return;
    }
    const int base = static_cast<int>(vertices_.size());
    vertices_.insert(vertices_.end(), used.begin(), used.end());
    for (const auto& t : tris) faces_.push_back({base + t[0], base + t[1], base + t[2]});
    ++parts_;
}

inline std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

inline std::string Piece::objText() const {
    // The loader skips at most 99 characters of a comment line.
    std::string out = ("# " + name_ + ": " + summary_).substr(0, 90) + "\n";
    out += "# made by klotzgen; " + std::to_string(parts_) + " convex parts\n";
    out += "g " + name_ + "\n";
    for (const V3& p : vertices_)
        out += "v " + number(p.x + 25) + " " + number(p.y + 25) + " " + number(p.z - 25) + "\n";
    for (const auto& f : faces_)
        out += "f " + std::to_string(f[0] + 1) + " " + std::to_string(f[1] + 1) + " " + std::to_string(f[2] + 1) + "\n";
    return out;
}

}  // namespace klotzgen
