/* datafile.cpp: the one loaded game datafile. */
#include "shell/datafile.h"

DATAFILE *Datafile = nullptr;
