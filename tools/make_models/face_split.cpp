/* face_split.cpp: cutting convex faces by planes, keeping their texture coordinates. */
#include "model_geometry.h"

namespace {

/* Pieces smaller than this after a cut are slivers nobody can see. */
const double MIN_AREA = 0.01;

double area(const Face &face)
{
    Vec3 sum = {0, 0, 0};
    for (size_t i = 1; i + 1 < face.corners.size(); i++)
        sum = sum + cross(face.corners[i].p - face.corners[0].p,
                          face.corners[i + 1].p - face.corners[0].p);
    return length(sum) / 2;
}

Corner between(const Corner &a, const Corner &b, double t)
{
    return {a.p + (b.p - a.p) * t, a.u + (b.u - a.u) * t, a.v + (b.v - a.v) * t};
}

}  // namespace

void split_face(const Face &face, Vec3 normal, double d, Face *front, Face *back)
{
    *front = face;
    *back = face;
    front->corners.clear();
    back->corners.clear();
    size_t n = face.corners.size();
    for (size_t i = 0; i < n; i++) {
        const Corner &cur = face.corners[i], &next = face.corners[(i + 1) % n];
        double sc = dot(normal, cur.p) - d, sn = dot(normal, next.p) - d;
        if (sc >= -ON_PLANE)
            front->corners.push_back(cur);
        if (sc <= ON_PLANE)
            back->corners.push_back(cur);
        if ((sc > ON_PLANE && sn < -ON_PLANE) || (sc < -ON_PLANE && sn > ON_PLANE)) {
            Corner cut = between(cur, next, sc / (sc - sn));
            front->corners.push_back(cut);
            back->corners.push_back(cut);
        }
    }
    if (front->corners.size() < 3 || area(*front) < MIN_AREA)
        front->corners.clear();
    if (back->corners.size() < 3 || area(*back) < MIN_AREA)
        back->corners.clear();
}

void limit_corners(const Face &face, std::vector<Face> &out)
{
    if (face.corners.size() <= MAX_MODEL_CORNERS) {
        out.push_back(face);
        return;
    }
    // A fan cut from corner 0 keeps both pieces convex.
    Face head = face, rest = face;
    head.corners.assign(face.corners.begin(), face.corners.begin() + MAX_MODEL_CORNERS);
    rest.corners.clear();
    rest.corners.push_back(face.corners[0]);
    rest.corners.insert(rest.corners.end(), face.corners.begin() + MAX_MODEL_CORNERS - 1,
                        face.corners.end());
    out.push_back(head);
    limit_corners(rest, out);
}
