// Generates the pictures, sprites and figure files of the shipped show.
//
//   make_show_data <data folder> [scenes] [sprites] [figures]
//
// Without a part named, all three are made.  Everything is procedural and
// seeded with fixed numbers, so a run gives the same files every time.  The
// output is committed; a build never runs this.  Each part lives in its own
// file beside this one: scene_folders (backdrops and water), sprites,
// figures.

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/show_data/figures.h"
#include "tools/show_data/scene_folders.h"
#include "tools/show_data/sprites.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <data folder> [scenes] [sprites] [figures]\n", argv[0]);
        return 2;
    }
    std::string data = argv[1];
    if (data.back() != '/') data += '/';
    // Without a part named, everything is made.
    auto wanted = [&](const char* part) {
        if (argc == 2) return true;
        for (int i = 2; i < argc; ++i)
            if (std::strcmp(argv[i], part) == 0) return true;
        return false;
    };
    bool ok = true;
    if (wanted("scenes")) ok = show_data::WriteScenes(data) && ok;
    if (wanted("sprites")) ok = show_data::WriteSprites(data) && ok;
    if (wanted("figures")) ok = show_data::WriteFigures(data + "_figures/") && ok;
    return ok ? 0 : 1;
}
