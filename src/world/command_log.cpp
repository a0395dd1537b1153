/* command_log.cpp: a level's commands in the order the robot took them, each with its frame. */
#include "world/command_log.h"

namespace {

void add(CommandLog &log, const LoggedCommand &entry)
{
    if (log.count == COMMAND_LOG_LIMIT) {
        log.first = (log.first + 1) % COMMAND_LOG_LIMIT;
        log.count--;
    }
    log.entries[(log.first + log.count) % COMMAND_LOG_LIMIT] = entry;
    log.count++;
}

} // namespace

void log_clear(CommandLog &log)
{
    log.first = 0;
    log.count = 0;
    log.attempt_commands = 0;
}

void log_command(CommandLog &log, int32_t frame, int32_t code)
{
    add(log, LoggedCommand{frame, code, log.attempt_commands});
    log.attempt_commands++;
}

void log_restart(CommandLog &log, int32_t frame)
{
    add(log, LoggedCommand{frame, LOGGED_RESTART, log.attempt_commands});
    log.attempt_commands = 0;
}

bool log_take_back(CommandLog &log, LoggedCommand *taken)
{
    if (log.count == 0)
        return false;
    const LoggedCommand &newest = log_at(log, log.count - 1);
    log.attempt_commands = newest.attempt_before;
    if (taken)
        *taken = newest;
    log.count--;
    return true;
}

const LoggedCommand &log_at(const CommandLog &log, int32_t place)
{
    return log.entries[(log.first + place) % COMMAND_LOG_LIMIT];
}
