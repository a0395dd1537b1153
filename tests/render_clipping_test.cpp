/* render_clipping_test.cpp: the polygon clipper and the sphere test against the frustum planes.
   That the planes of a real camera meet the view's edges is seen in the model clipping tests. */
#include "render_test_support.h"

#include <cmath>

namespace {

struct TestPolygon {
    V3D in_vertices[MAX_POLYGON_VERTICES];
    V3D out_vertices[MAX_POLYGON_VERTICES];
    Polygon in{in_vertices, 0, MAX_POLYGON_VERTICES};
    Polygon out{out_vertices, 0, MAX_POLYGON_VERTICES};
    TestPolygon(std::initializer_list<V3D> corners)
    {
        for (const V3D &c : corners)
            in_vertices[in.count++] = c;
    }
};

} // namespace

TEST(RenderClipping, RejectsPolygonsBehindBesideOrOnlyTouchingTheView)
{
    const Frustum f(identity_matrix);    /* camera space: x = -z, x = z, y = -z, y = z */
    TestPolygon rejected[] = {
        {corner(-1, -1, -10), corner(1, -1, -10), corner(1, 1, -10), corner(-1, 1, -10)},
        {corner(20, -1, 10), corner(30, -1, 10), corner(30, 1, 10), corner(20, 1, 10)},
        /* A point on a plane counts as outside: touching the right plane along x = z = 10,
           then touching only the top-right corner of the view. */
        {corner(10, -1, 10), corner(20, -1, 10), corner(20, 1, 10), corner(10, 1, 10)},
        {corner(10, 10, 10), corner(20, 10, 10), corner(20, 20, 10)},
    };
    for (TestPolygon &p : rejected)
        EXPECT_TRUE(clip_polygon(f.planes, f.count, &p.in, &p.out) == 0 && p.out.count == 0) << &p - rejected;
}

TEST(RenderClipping, ACornerBeyondASidePlaneGivesFiveCornersAndAnInsideQuadStaysAsItIs)
{
    const Frustum f(identity_matrix);
    /* The edge from (5, -5) to (12, 5), u 0 to 140, is cut at x = 10: 5/7 along, u 100. */
    TestPolygon cut{corner(-5, -5, 10), corner(5, -5, 10), corner(12, 5, 10, 140, 0),
                    corner(-5, 5, 10)};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &cut.in, &cut.out), 3);
    ASSERT_EQ(cut.out.count, 5);
    int found = 0;
    for (int i = 0; i < cut.out.count; i++)
        if (std::abs(cut.out.vtx[i].x - itofix(10)) < 8 && std::abs(cut.out.vtx[i].y - ftofix(50.0 / 7 - 5)) < 64) {
            EXPECT_NEAR(fixtof(cut.out.vtx[i].u), 100.0, 0.05);
            found++;
        }
    EXPECT_EQ(found, 1);
    for (int i = 0; i < cut.out.count; i++)
        EXPECT_TRUE(cut.out.vtx[i].x <= itofix(10) + 2 && cut.out.vtx[i].z == itofix(10)) << i;

    const V3D square[4] = {corner(-5, -5, 10, 0, 0), corner(5, -5, 10, 128, 0),
                           corner(5, 5, 10, 128, 128), corner(-5, 5, 10, 0, 128)};
    TestPolygon inside{square[0], square[1], square[2], square[3]};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &inside.in, &inside.out), 1);
    ASSERT_EQ(inside.out.count, 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(std::memcmp(&inside.out.vtx[i], &square[i], sizeof(V3D)), 0) << "corner " << i;
}

TEST(RenderClipping, ATenCornerFaceCutByEveryPlaneFitsAndStaysInside)
{
    const Frustum f(identity_matrix);
    V3D vertices[MAX_POLYGON_VERTICES];
    Polygon in = {vertices, 10, MAX_POLYGON_VERTICES};
    /* Corners on a circle of radius 11 at depth 10: each plane cuts off exactly one of them. */
    const int degrees[10] = {0, 30, 60, 90, 120, 180, 210, 270, 300, 330};
    auto make_face = [&] {
        for (int i = 0; i < 10; i++) {
            const double a = degrees[i] * M_PI / 180;
            vertices[i] = corner(11 * std::cos(a), 11 * std::sin(a), 10);
        }
        in.count = 10;
    };
    make_face();
    V3D out_vertices[MAX_POLYGON_VERTICES + 2];
    const V3D canary = corner(123, 456, 789);
    out_vertices[MAX_POLYGON_VERTICES] = out_vertices[MAX_POLYGON_VERTICES + 1] = canary;
    Polygon out = {out_vertices, 0, MAX_POLYGON_VERTICES};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &in, &out), 2);
    EXPECT_EQ(out.count, 14);
    for (int i = 0; i < out.count; i++)
        for (const ClipPlane &p : f.planes)
            EXPECT_GE(dot_product(p.a, p.b, p.c, out.vtx[i].x, out.vtx[i].y, out.vtx[i].z) - p.d, -itofix(1) / 100)
                << "corner " << i;
    EXPECT_EQ(out_vertices[MAX_POLYGON_VERTICES].x, canary.x);

    /* A buffer too small for the result is left empty, never overrun. */
    make_face();
    V3D small_vertices[12 + 1];
    small_vertices[12] = canary;
    Polygon small = {small_vertices, 0, 12};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &in, &small), 0);
    EXPECT_EQ(small.count, 0);
    EXPECT_EQ(small_vertices[12].x, canary.x);
}

TEST(RenderClipping, SphereTestRejectsOnlyWhatLiesWhollyOutside)
{
    const Frustum f(identity_matrix);
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, 0, 0, itofix(100), itofix(1)), 1);
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, 0, 0, itofix(-100), itofix(10)), 0);
    /* Just beyond the right plane, but the radius reaches back in. */
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, itofix(105), 0, itofix(100), itofix(10)), 1);
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, itofix(130), 0, itofix(100), itofix(10)), 0);
    /* A centre just behind the eye may still be in view. */
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, 0, 0, itofix(-2), itofix(10)), 1);
}
