/* main.cpp: program entry (interim: starts the library, loads the data and the models). */
#include <allegro.h>
#include <cstdio>

#include "shell/datafile.h"

int main(int argc, char *argv[])
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "Tirvex: cannot initialise the game library: %s\n", allegro_error);
        return -1;
    }
    Datafile = load_datafile("data/pz.dat");
    if (!Datafile) {
        std::fprintf(stderr, "Error loading data file %s\n", "data/pz.dat");
        allegro_exit();
        return 1;
    }
    std::printf("Tirvex: data loaded.\n");
    unload_datafile(Datafile);
    allegro_exit();
    return 0;
}
END_OF_MAIN()
