/* face_tiles.cpp: turns raw faces outward and lays a skin tile on each group of faces. */
#include <cmath>
#include <map>

#include "model_geometry.h"

namespace {

/* Newell's normal: robust for any planar polygon; its length is twice the area. */
Vec3 area_normal(const std::vector<Vec3> &points)
{
    Vec3 n = {0, 0, 0};
    for (size_t i = 0; i < points.size(); i++) {
        Vec3 a = points[i], b = points[(i + 1) % points.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

/* How one group is seen: `right` runs along the tile's texel rows, `up` toward its top row. */
struct GroupFrame {
    Vec3 right, up;
    double min_s, max_s, min_t, max_t;
    bool measured;
};

GroupFrame frame_for(Vec3 view, Vec3 front)
{
    // A viewer looks against the face's normal; the tile stands upright for that viewer, and
    // on faces that look up or down its top points to the model's front.
    Vec3 reference = std::fabs(view.y) < 0.9 ? UP : front;
    Vec3 up = normalised(reference - view * dot(reference, view));
    Vec3 right = normalised(cross(view * -1.0, up));
    return {right, up, 0, 0, 0, 0, false};
}

}  // namespace

std::vector<Face> finish_faces(const ModelSource &source)
{
    std::vector<RawFace> raw = source.faces;
    std::map<int, Vec3> group_view;
    for (RawFace &face : raw) {
        if (face.points.size() < 3)
            fail("%s: a face has fewer than three corners", source.name.c_str());
        Vec3 n = area_normal(face.points);
        if (length(n) < 1e-9)
            fail("%s: a face has no area", source.name.c_str());
        if (dot(n, face.outward) < 0) {
            std::vector<Vec3> reversed(face.points.rbegin(), face.points.rend());
            face.points = reversed;
            n = n * -1.0;
        }
        if (face.view_set)
            group_view[face.group] = normalised(face.view);
        else
            group_view[face.group] = group_view[face.group] + n;
    }

    std::map<int, GroupFrame> frames;
    for (auto &[group, view] : group_view)
        frames[group] = frame_for(normalised(view), source.front);
    for (const RawFace &face : raw) {
        GroupFrame &frame = frames[face.group];
        for (Vec3 p : face.points) {
            double s = dot(p, frame.right), t = dot(p, frame.up);
            if (!frame.measured) {
                frame.min_s = frame.max_s = s;
                frame.min_t = frame.max_t = t;
                frame.measured = true;
            }
            frame.min_s = std::fmin(frame.min_s, s);
            frame.max_s = std::fmax(frame.max_s, s);
            frame.min_t = std::fmin(frame.min_t, t);
            frame.max_t = std::fmax(frame.max_t, t);
        }
    }

    std::vector<Face> faces;
    for (const RawFace &raw_face : raw) {
        if (raw_face.tile < 0 || raw_face.tile >= TILE_COUNT)
            fail("%s: a face has no tile in 0 ... 15", source.name.c_str());
        const GroupFrame &frame = frames[raw_face.group];
        // One texel of margin keeps the filler from sampling the neighbouring tile.
        double left = TILE_SIZE * (raw_face.tile % 4) + 1, top = TILE_SIZE * (raw_face.tile / 4) + 1;
        double span = TILE_SIZE - 2;
        double width = std::fmax(frame.max_s - frame.min_s, 1e-9);
        double height = std::fmax(frame.max_t - frame.min_t, 1e-9);
        Face face;
        face.tile = raw_face.tile;
        face.solid = raw_face.solid;
        face.normal = normalised(area_normal(raw_face.points));
        Vec3 centre = {0, 0, 0};
        for (Vec3 p : raw_face.points) {
            centre = centre + p * (1.0 / raw_face.points.size());
            double s = dot(p, frame.right), t = dot(p, frame.up);
            face.corners.push_back({p, left + span * (s - frame.min_s) / width,
                                    top + span * (frame.max_t - t) / height});
        }
        face.d = dot(face.normal, centre);
        faces.push_back(face);
    }
    return faces;
}
