/* main.cpp: the model compiler: make_models SOURCE.model OUTPUT.bsp. */
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "model_geometry.h"

void fail(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "make_models: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
    va_end(args);
    std::exit(1);
}

int main(int argc, char **argv)
{
    if (argc != 3)
        fail("usage: make_models SOURCE.model OUTPUT.bsp");
    ModelSource source = read_model_source(argv[1]);
    std::vector<Face> finished = finish_faces(source);

    // How much of the buried surface is worth cutting away depends on the model's shape;
    // the carving that gives the smallest tree wins.
    std::vector<Face> faces;
    std::vector<TreeNode> tree;
    int splits = 0;
    for (size_t most_fragments = 0; most_fragments <= 3; most_fragments++) {
        std::vector<Face> carved = carve_hidden_parts(finished, source, most_fragments);
        int carved_splits = 0;
        std::vector<TreeNode> carved_tree = build_bsp_tree(carved, &carved_splits);
        if (tree.empty() || carved_tree.size() < tree.size()) {
            faces = carved;
            tree = carved_tree;
            splits = carved_splits;
        }
    }

    std::function<int(int)> depth = [&](int node) {
        return node < 0 ? 0 : 1 + std::max(depth(tree[node].front), depth(tree[node].back));
    };
    std::printf("%s: %zu faces, %d splits, %zu nodes, depth %d\n", source.name.c_str(),
                faces.size(), splits, tree.size(), depth(0));
    if (!write_bsp_file(argv[2], tree)) {
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
