/* hidden_parts.cpp: cuts away the parts of faces buried inside the model's other solids. */
#include <map>

#include "model_geometry.h"

namespace {

struct Wall {
    Vec3 normal;
    double d;
};

/* Appends to out the parts of piece outside the convex solid bounded by walls. A piece lying
   on a wall counts as outside when it faces the same way as the wall, as inside otherwise
   (a leg's top against the body's underside is hidden). */
void keep_outside(const Face &piece, const std::vector<Wall> &walls, size_t most_fragments,
                  std::vector<Face> &out)
{
    std::vector<Face> fragments;
    Face rest = piece;
    for (const Wall &wall : walls) {
        double lowest = 1e30, highest = -1e30;
        for (const Corner &c : rest.corners) {
            double s = dot(wall.normal, c.p) - wall.d;
            lowest = s < lowest ? s : lowest;
            highest = s > highest ? s : highest;
        }
        bool on_wall = lowest >= -ON_PLANE && highest <= ON_PLANE;
        if ((on_wall && dot(wall.normal, rest.normal) > 0) || (!on_wall && lowest >= -ON_PLANE)) {
            fragments.push_back(rest);
            rest.corners.clear();
            break;
        }
        if (highest > ON_PLANE && lowest < -ON_PLANE) {
            Face front, back;
            split_face(rest, wall.normal, wall.d, &front, &back);
            if (!front.corners.empty())
                fragments.push_back(front);
            rest = back;
            if (rest.corners.empty())
                break;
        }
    }
    // Cutting a face into many fragments can cost more polygons and splits than drawing its
    // hidden part.
    if (rest.corners.empty() || fragments.size() > most_fragments)
        out.push_back(piece);
    else
        out.insert(out.end(), fragments.begin(), fragments.end());
}

Vec3 cross_sum_normal(const std::vector<Vec3> &points)
{
    Vec3 n = {0, 0, 0};
    for (size_t i = 0; i < points.size(); i++) {
        Vec3 a = points[i], b = points[(i + 1) % points.size()];
        n = n + cross(a, b);
    }
    return n;
}

}  // namespace

std::vector<Face> carve_hidden_parts(const std::vector<Face> &faces, const ModelSource &source,
                                     size_t most_fragments)
{
    std::map<int, std::vector<Wall>> solids;
    for (const RawFace &face : source.faces) {
        if (!face.convex)
            continue;
        Vec3 n = normalised(cross_sum_normal(face.points));
        if (dot(n, face.outward) < 0)
            n = n * -1.0;
        solids[face.solid].push_back({n, dot(n, face.points[0])});
    }
    std::vector<Face> result;
    for (const Face &face : faces) {
        std::vector<Face> pieces = {face};
        for (auto &[solid, walls] : solids) {
            if (solid == face.solid)
                continue;
            std::vector<Face> outside;
            for (const Face &piece : pieces)
                keep_outside(piece, walls, most_fragments, outside);
            pieces = outside;
        }
        for (const Face &piece : pieces)
            limit_corners(piece, result);
    }
    return result;
}
