/* command_line.h: the one command-line reader of the game and every tool. */
#pragma once

#include <cstdint>
#include <cstdio>

/* One option a program takes. Every option is written with one dash or two alike ("-nosound",
   "--nosound"); an option with a value takes it as the next argument or after '='. */
struct CommandOption {
    const char *name;           /* without its dashes: "nosound", "data" */
    const char *value_name;     /* "DIR", "N", ...; nullptr for a switch */
    const char *help;           /* one line for --help */
    int64_t low, high;          /* a value that must be a whole number in low ... high, when
                                   low < high; any text otherwise */
    bool required = false;      /* the program cannot go on without it: unbracketed in the
                                   usage, marked in --help, its absence a wrong command line */
};

enum { COMMAND_MAX_OPTIONS = 16, COMMAND_MAX_OPERANDS = 100 };

/* What a program takes on its command line; --help and --version come with every program. */
struct CommandSyntax {
    const char *program;        /* the name the messages give */
    const char *summary;        /* the first lines of --help: what the program does */
    const char *operands;       /* the synopsis of the operands ("MAP...", "MAP OUT.bmp"), or "" */
    int min_operands, max_operands;
    const CommandOption *options;
    int option_count;           /* at most COMMAND_MAX_OPTIONS */
    bool language = false;      /* the program's texts come from the catalogue: it takes
                                   --language CODE too, which read_command_line heeds first */
};

/* What was found on a command line, option by option in the order of the syntax. */
struct CommandLine {
    bool given[COMMAND_MAX_OPTIONS];
    const char *text[COMMAND_MAX_OPTIONS];      /* the value as written */
    int64_t number[COMMAND_MAX_OPTIONS];        /* the value read as a number, where it is one */
    const char *operands[COMMAND_MAX_OPERANDS];
    int operand_count;
};

/* Reads argv against the syntax into *line. Returns -1 when the program is to go on; otherwise
   the exit status it must end with at once: 0 after printing --help or --version ("NAME
   VERSION") on standard output, 2 after a wrong command line (a required option missing
   included), for which one line naming the fault and the one-line usage go to standard error.
   "--" ends the options. Texts, summary and option help included, are looked up in the
   catalogue; with syntax->language the player's language is chosen (choose_language, from
   --language CODE or the environment) before anything is written. Called first by every main. */
int read_command_line(int argc, char **argv, const CommandSyntax *syntax, const char *version,
                      CommandLine *line);

/* Writes the one-line usage of the syntax ("usage: NAME --a A [--b] [--c N] OPERANDS", a
   required option without brackets) to out. */
void print_usage(FILE *out, const CommandSyntax *syntax);

/* Returns the index in the syntax of the option of that name (without dashes), or -1. */
int option_index(const CommandSyntax *syntax, const char *name);

/* Returns the last part of a path: the file name of a map, or of the program (argv[0]) for
   the name its messages give. */
const char *path_file_name(const char *path);
