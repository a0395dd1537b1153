/* bsp_tree.cpp: builds a balanced BSP tree of a model's faces, splitting faces that straddle. */
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model_geometry.h"

namespace {

/* Trees tried per model; the one with the fewest nodes wins. */
const int TRIALS = 100;

/* How one trial weighs a split against imbalance, and how far from the best score a randomly
   taken splitter may be. */
struct Strategy {
    int split_cost;
    int slack;
};

enum Side { FRONT, BACK, COPLANAR_SAME, COPLANAR_OPPOSITE, SPANNING };

double distance(const Face &plane, Vec3 p) { return dot(plane.normal, p) - plane.d; }

Side classify(const Face &plane, const Face &face)
{
    bool front = false, back = false;
    for (const Corner &c : face.corners) {
        double s = distance(plane, c.p);
        front = front || s > ON_PLANE;
        back = back || s < -ON_PLANE;
    }
    if (front && back)
        return SPANNING;
    if (front)
        return FRONT;
    if (back)
        return BACK;
    return dot(plane.normal, face.normal) > 0 ? COPLANAR_SAME : COPLANAR_OPPOSITE;
}

void split(const Face &plane, const Face &face, std::vector<Face> &front, std::vector<Face> &back)
{
    Face f, b;
    split_face(face, plane.normal, plane.d, &f, &b);
    if (!f.corners.empty())
        limit_corners(f, front);
    if (!b.corners.empty())
        limit_corners(b, back);
}

/* Sorting every face by one plane: how many land on each side and how many are cut. */
int score(const std::vector<Face> &faces, size_t candidate, int split_cost)
{
    int front = 0, back = 0, splits = 0;
    for (size_t i = 0; i < faces.size(); i++) {
        if (i == candidate)
            continue;
        switch (classify(faces[candidate], faces[i])) {
        case FRONT:
        case COPLANAR_SAME: front++; break;
        case BACK:
        case COPLANAR_OPPOSITE: back++; break;
        case SPANNING: splits++; break;
        }
    }
    return split_cost * splits + std::abs(front - back);
}

/* A small fixed-seed generator, so every build of a model gives the same file. */
struct Shuffle {
    unsigned state;
    unsigned next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 16;
    }
};

int build(std::vector<Face> faces, std::vector<TreeNode> &tree, int *splits, Shuffle &shuffle,
          Strategy strategy)
{
    if (faces.empty())
        return -1;
    // Among the splitters scoring within `slack` of the best, one is taken at random; the
    // caller keeps the best of many such trees.
    std::vector<int> scores(faces.size());
    int lowest = 0;
    for (size_t i = 0; i < faces.size(); i++) {
        scores[i] = score(faces, i, strategy.split_cost);
        if (i == 0 || scores[i] < lowest)
            lowest = scores[i];
    }
    std::vector<size_t> near;
    for (size_t i = 0; i < faces.size(); i++)
        if (scores[i] <= lowest + strategy.slack)
            near.push_back(i);
    size_t best = near[shuffle.next() % near.size()];
    const Face splitter = faces[best];
    std::vector<Face> front, back;
    for (size_t i = 0; i < faces.size(); i++) {
        if (i == best)
            continue;
        switch (classify(splitter, faces[i])) {
        case FRONT:
        case COPLANAR_SAME: front.push_back(faces[i]); break;
        case BACK:
        case COPLANAR_OPPOSITE: back.push_back(faces[i]); break;
        case SPANNING:
            split(splitter, faces[i], front, back);
            (*splits)++;
            break;
        }
    }
    int index = (int)tree.size();
    tree.push_back({splitter, -1, -1});
    int front_index = build(std::move(front), tree, splits, shuffle, strategy);
    int back_index = build(std::move(back), tree, splits, shuffle, strategy);
    tree[index].front = front_index;
    tree[index].back = back_index;
    return index;
}

int depth_of(const std::vector<TreeNode> &tree, int node)
{
    if (node < 0)
        return 0;
    return 1 + std::max(depth_of(tree, tree[node].front), depth_of(tree, tree[node].back));
}

}  // namespace

std::vector<TreeNode> build_bsp_tree(const std::vector<Face> &faces, int *splits)
{
    std::vector<TreeNode> best;
    int best_depth = 0;
    Shuffle shuffle = {12345u};
    for (int trial = 0; trial < TRIALS; trial++) {
        std::vector<TreeNode> tree;
        int trial_splits = 0;
        static const int costs[] = {2, 4, 6, 10, 16, 30};
        Strategy strategy = {costs[trial % 6], trial < 6 ? 0 : (int)(shuffle.next() % 16)};
        build(faces, tree, &trial_splits, shuffle, strategy);
        int depth = depth_of(tree, 0);
        if (trial == 0 || tree.size() < best.size() ||
            (tree.size() == best.size() && depth < best_depth)) {
            best = tree;
            best_depth = depth;
            *splits = trial_splits;
        }
    }
    return best;
}
