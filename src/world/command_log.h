/* command_log.h: a level's commands in the order the robot took them, each with its frame. */
#pragma once

#include <cstdint>

enum {
    /* Entries kept: more than a solution may hold, and the steps undo keeps. A level's time limit
       bounds its steps and jumps, but not its turns (they take no time) nor its restarts: beyond
       this the oldest entry is dropped, as undo drops its oldest step. */
    COMMAND_LOG_LIMIT = 4096,
    LOGGED_RESTART = -1     /* the code of an entry that is a restart of the level */
};

/* One entry: a move code the robot took on `frame` (counted from the level's start for a
   solution, from its entry in play), or a restart. */
struct LoggedCommand {
    int32_t frame;
    int32_t code;               /* a move code, or LOGGED_RESTART */
    int32_t attempt_before;     /* the commands the attempt under way had taken before it: what
                                   taking the entry back gives back */
};

/* The log: a ring of entries, oldest first, and the commands of the attempt under way (since the
   last restart), counted on when its oldest entries are dropped. A plain record of fixed size:
   nothing is allocated as it fills. */
struct CommandLog {
    LoggedCommand entries[COMMAND_LOG_LIMIT];
    int32_t first;              /* the oldest entry kept */
    int32_t count;              /* entries kept */
    int32_t attempt_commands;
};

/* Empties the log: a level is entered, or a solution is about to be read into it. */
void log_clear(CommandLog &log);

/* Adds a command the robot takes on `frame`, counted into the attempt; a full log drops its
   oldest entry first. */
void log_command(CommandLog &log, int32_t frame, int32_t code);

/* Adds a restart on `frame`: the attempt under way ends, the next begins with no command. */
void log_restart(CommandLog &log, int32_t frame);

/* Takes the newest entry back (an undo), into *taken when given: the attempt's commands are again
   what they were before it (a restart taken back gives back the attempt it ended). Returns false
   when no entry is kept. */
bool log_take_back(CommandLog &log, LoggedCommand *taken = nullptr);

/* The entry at `place`, 0 the oldest kept, count - 1 the newest. */
const LoggedCommand &log_at(const CommandLog &log, int32_t place);
