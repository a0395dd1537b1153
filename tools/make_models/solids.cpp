/* solids.cpp: makes the faces of hulls, boxes and lathes and places, mirrors and tiles them. */
#include "solids.h"

#include <algorithm>
#include <cmath>

namespace {

const double PLANE_EPSILON = 1e-4;

struct HullPlane {
    Vec3 normal;
    double d;
};

/* Corners of a convex face given as points on one plane, in convex order, collinear points
   dropped (Andrew's monotone chain in the plane's own 2D frame). */
std::vector<Vec3> convex_outline(const std::vector<Vec3> &points, Vec3 normal)
{
    Vec3 seed = std::fabs(normal.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    Vec3 e1 = normalised(cross(normal, seed));
    Vec3 e2 = cross(normal, e1);
    struct Flat {
        double s, t;
        Vec3 p;
    };
    std::vector<Flat> flat;
    for (Vec3 p : points)
        flat.push_back({dot(p, e1), dot(p, e2), p});
    std::sort(flat.begin(), flat.end(), [](const Flat &a, const Flat &b) {
        return a.s < b.s || (a.s == b.s && a.t < b.t);
    });
    auto turn = [](const Flat &o, const Flat &a, const Flat &b) {
        return (a.s - o.s) * (b.t - o.t) - (a.t - o.t) * (b.s - o.s);
    };
    std::vector<Flat> hull(2 * flat.size());
    size_t k = 0;
    for (size_t i = 0; i < flat.size(); i++) {
        while (k >= 2 && turn(hull[k - 2], hull[k - 1], flat[i]) <= 1e-9)
            k--;
        hull[k++] = flat[i];
    }
    for (size_t i = flat.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && turn(hull[k - 2], hull[k - 1], flat[i]) <= 1e-9)
            k--;
        hull[k++] = flat[i];
    }
    std::vector<Vec3> outline;
    for (size_t i = 0; i + 1 < k; i++)
        outline.push_back(hull[i].p);
    return outline;
}

Vec3 rotate(Vec3 p, Vec3 degrees)
{
    const double to_radians = 3.14159265358979 / 180.0;
    double a = degrees.x * to_radians, b = degrees.y * to_radians, c = degrees.z * to_radians;
    p = {p.x, p.y * std::cos(a) - p.z * std::sin(a), p.y * std::sin(a) + p.z * std::cos(a)};
    p = {p.x * std::cos(b) + p.z * std::sin(b), p.y, -p.x * std::sin(b) + p.z * std::cos(b)};
    p = {p.x * std::cos(c) - p.y * std::sin(c), p.x * std::sin(c) + p.y * std::cos(c), p.z};
    return p;
}

RawFace new_face(ModelSource &model, std::vector<Vec3> points, Vec3 outward, int tile)
{
    RawFace face;
    face.points = std::move(points);
    face.outward = outward;
    face.tile = tile;
    face.group = model.group_count++;
    face.view_set = false;
    face.view = {0, 0, 0};
    face.solid = model.solid_count;
    face.convex = false;
    return face;
}

}  // namespace

double length(Vec3 a) { return std::sqrt(dot(a, a)); }

Vec3 normalised(Vec3 a)
{
    double l = length(a);
    return l > 0 ? a * (1.0 / l) : a;
}

Vec3 model_right(Vec3 front) { return normalised(cross(front, UP)); }

bool add_hull(ModelSource &model, const std::vector<Vec3> &input)
{
    std::vector<Vec3> points;
    for (Vec3 p : input) {
        bool known = false;
        for (Vec3 q : points)
            known = known || length(p - q) < 1e-6;
        if (!known)
            points.push_back(p);
    }
    std::vector<HullPlane> planes;
    size_t n = points.size();
    for (size_t i = 0; i < n; i++)
        for (size_t j = i + 1; j < n; j++)
            for (size_t k = j + 1; k < n; k++) {
                Vec3 normal = cross(points[j] - points[i], points[k] - points[i]);
                if (length(normal) < 1e-9)
                    continue;
                normal = normalised(normal);
                double d = dot(normal, points[i]);
                bool any_front = false, any_back = false;
                for (Vec3 p : points) {
                    double s = dot(normal, p) - d;
                    any_front = any_front || s > PLANE_EPSILON;
                    any_back = any_back || s < -PLANE_EPSILON;
                }
                if (any_front == any_back)
                    continue;    // a plane through the inside, or all points flat
                if (any_front) {
                    normal = normal * -1.0;
                    d = -d;
                }
                bool known = false;
                for (const HullPlane &q : planes)
                    known = known || (dot(q.normal, normal) > 1 - 1e-9 &&
                                      std::fabs(q.d - d) < PLANE_EPSILON);
                if (!known)
                    planes.push_back({normal, d});
            }
    if (planes.size() < 4)
        return false;
    for (const HullPlane &plane : planes) {
        std::vector<Vec3> on_plane;
        for (Vec3 p : points)
            if (std::fabs(dot(plane.normal, p) - plane.d) <= PLANE_EPSILON)
                on_plane.push_back(p);
        RawFace face = new_face(model, convex_outline(on_plane, plane.normal), plane.normal, -1);
        face.convex = true;
        model.faces.push_back(face);
    }
    model.solid_count++;
    return true;
}

const char *add_lathe(ModelSource &model, const LatheShape &lathe)
{
    size_t ring_count = lathe.rings.size();
    if (ring_count < 2)
        return "a lathe needs at least two rings";
    if (lathe.sides < 3)
        return "a lathe needs at least three sides";
    for (const LatheRing &ring : lathe.rings)
        if (ring.r < 0)
            return "a ring radius is negative";
    Vec3 axis = lathe.axis == 'x' ? Vec3{1, 0, 0} : lathe.axis == 'y' ? Vec3{0, 1, 0}
                                                                       : Vec3{0, 0, 1};
    Vec3 e1 = lathe.axis == 'y' ? model.front : UP;
    Vec3 e2 = normalised(cross(axis, e1));
    const double to_radians = 3.14159265358979 / 180.0;
    int sides = lathe.sides;
    auto ring_point = [&](size_t i, int j) {
        double angle = (lathe.turn + 360.0 * (j - 0.5) / sides) * to_radians;
        const LatheRing &ring = lathe.rings[i % ring_count];
        return axis * ring.h + (e1 * std::cos(angle) + e2 * std::sin(angle)) * ring.r;
    };
    auto facet_direction = [&](int j) {
        double angle = (lathe.turn + 360.0 * j / sides) * to_radians;
        return e1 * std::cos(angle) + e2 * std::sin(angle);
    };

    // The profile in the (r, h) plane, closed along the axis unless it is a loop; its turning
    // sense tells which side of each profile edge is outside.
    std::vector<LatheRing> outline;
    if (!lathe.loop)
        outline.push_back({0, lathe.rings.front().h, 0});
    outline.insert(outline.end(), lathe.rings.begin(), lathe.rings.end());
    if (!lathe.loop)
        outline.push_back({0, lathe.rings.back().h, 0});
    double area = 0;
    for (size_t k = 0; k < outline.size(); k++) {
        const LatheRing &a = outline[k], &b = outline[(k + 1) % outline.size()];
        area += a.r * b.h - b.r * a.h;
    }
    if (std::fabs(area) < 1e-9)
        return "the lathe profile encloses no area";
    auto outward_of = [&](const LatheRing &a, const LatheRing &b, Vec3 radial) {
        double dr = b.r - a.r, dh = b.h - a.h;
        double nr = area > 0 ? dh : -dh, nh = area > 0 ? -dr : dr;
        return radial * nr + axis * nh;
    };

    // A profile that turns one way only, closed along the axis, makes a convex solid, which
    // may then hide the faces of smaller parts pushed into it.
    bool convex = !lathe.loop;
    for (size_t k = 0; convex && k < outline.size(); k++) {
        const LatheRing &a = outline[k], &b = outline[(k + 1) % outline.size()],
                        &c = outline[(k + 2) % outline.size()];
        double turn = (b.r - a.r) * (c.h - b.h) - (b.h - a.h) * (c.r - b.r);
        convex = area > 0 ? turn >= -1e-9 : turn <= 1e-9;
    }
    size_t first_face = model.faces.size();

    std::vector<int> patch_group(lathe.patches.size());
    for (size_t k = 0; k < lathe.patches.size(); k++) {
        const LathePatch &patch = lathe.patches[k];
        if (patch.from_ring < 0 || patch.to_ring > (int)ring_count ||
            patch.from_ring >= patch.to_ring || patch.facets < 1 || patch.facets % 2 == 0 ||
            patch.facets > sides)
            return "a patch names rings or facets the lathe does not have";
        patch_group[k] = model.group_count++;
    }

    size_t bands = lathe.loop ? ring_count : ring_count - 1;
    for (size_t i = 0; i < bands; i++) {
        const LatheRing &a = lathe.rings[i], &b = lathe.rings[(i + 1) % ring_count];
        if (a.r == 0 && b.r == 0)
            continue;
        for (int j = 0; j < sides; j++) {
            std::vector<Vec3> points;
            points.push_back(ring_point(i, j));
            if (a.r > 0)
                points.push_back(ring_point(i, j + 1));
            points.push_back(ring_point(i + 1, j + 1));
            if (b.r > 0)
                points.push_back(ring_point(i + 1, j));
            RawFace face = new_face(model, points, outward_of(a, b, facet_direction(j)), a.tile);
            for (size_t k = 0; k < lathe.patches.size(); k++) {
                const LathePatch &patch = lathe.patches[k];
                int half = (patch.facets - 1) / 2;
                int offset = j <= sides / 2 ? j : j - sides;
                if ((int)i >= patch.from_ring && (int)i < patch.to_ring &&
                    std::abs(offset) <= half) {
                    face.tile = patch.tile;
                    face.group = patch_group[k];
                    face.view_set = true;
                    face.view = facet_direction(0);
                }
            }
            model.faces.push_back(face);
        }
    }
    if (!lathe.loop) {
        const LatheRing &first = lathe.rings.front(), &last = lathe.rings.back();
        if (first.r > 0) {
            std::vector<Vec3> points;
            for (int j = 0; j < sides; j++)
                points.push_back(ring_point(0, j));
            int tile = lathe.start_tile >= 0 ? lathe.start_tile : first.tile;
            model.faces.push_back(
                new_face(model, points, outward_of(outline[0], outline[1], e1), tile));
        }
        if (last.r > 0) {
            std::vector<Vec3> points;
            for (int j = 0; j < sides; j++)
                points.push_back(ring_point(ring_count - 1, j));
            size_t end = outline.size() - 1;
            int tile = lathe.end_tile >= 0 ? lathe.end_tile : lathe.rings[ring_count - 2].tile;
            model.faces.push_back(
                new_face(model, points, outward_of(outline[end - 1], outline[end], e1), tile));
        }
    }
    for (size_t k = first_face; k < model.faces.size(); k++)
        model.faces[k].convex = convex;
    model.solid_count++;
    return nullptr;
}

void place_faces(ModelSource &model, size_t first, Vec3 rotation, Vec3 offset)
{
    for (size_t i = first; i < model.faces.size(); i++) {
        RawFace &face = model.faces[i];
        for (Vec3 &p : face.points)
            p = rotate(p, rotation) + offset;
        face.outward = rotate(face.outward, rotation);
        face.view = rotate(face.view, rotation);
    }
}

void mirror_faces(ModelSource &model, size_t first)
{
    Vec3 right = model_right(model.front);
    auto reflect = [&](Vec3 p) { return p - right * (2 * dot(p, right)); };
    size_t end = model.faces.size();
    std::vector<std::pair<int, int>> renamed;
    int first_solid = model.faces[first].solid, last_solid = model.faces[end - 1].solid;
    for (size_t i = first; i < end; i++) {
        RawFace face = model.faces[i];
        for (Vec3 &p : face.points)
            p = reflect(p);
        face.outward = reflect(face.outward);
        face.view = reflect(face.view);
        int group = -1;
        for (auto &pair : renamed)
            if (pair.first == face.group)
                group = pair.second;
        if (group < 0) {
            group = model.group_count++;
            renamed.push_back({face.group, group});
        }
        face.group = group;
        face.solid += model.solid_count - first_solid;
        model.faces.push_back(face);
    }
    model.solid_count += last_solid - first_solid + 1;
}

bool assign_tiles(ModelSource &model, size_t first, const TileChoice &choice)
{
    Vec3 right = model_right(model.front);
    for (size_t i = first; i < model.faces.size(); i++) {
        RawFace &face = model.faces[i];
        if (face.tile >= 0)
            continue;
        Vec3 n = normalised(face.outward);
        double along_front = dot(n, model.front), along_right = dot(n, right),
               along_up = dot(n, UP);
        int specific;
        bool side = true;
        if (std::fabs(along_up) >= std::fabs(along_front) &&
            std::fabs(along_up) >= std::fabs(along_right)) {
            specific = along_up > 0 ? choice.top : choice.bottom;
            side = false;
        } else if (std::fabs(along_front) >= std::fabs(along_right)) {
            specific = along_front > 0 ? choice.front : choice.back;
        } else {
            specific = along_right > 0 ? choice.right : choice.left;
        }
        face.tile = specific >= 0 ? specific
                    : side && choice.sides >= 0 ? choice.sides
                                                : choice.all;
        if (face.tile < 0)
            return false;
    }
    return true;
}
