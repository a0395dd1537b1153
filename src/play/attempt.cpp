/* attempt.cpp: what the records count of the attempt under way. */
#include "play/attempt.h"

void records_note_command(RecordsAttempt &attempt)
{
    attempt.commands++;
}

void records_note_undo(RecordsAttempt &attempt)
{
    attempt.undone++;
    attempt.undos++;
}

void records_note_hint(RecordsAttempt &attempt)
{
    attempt.hints++;
}

void records_restart_undone(RecordsAttempt &attempt, const RecordsAttempt &ended)
{
    const RecordsAttempt begun = attempt;
    attempt = ended;
    attempt.undos += begun.undos + 1;
    attempt.hints += begun.hints;
}

int records_attempt_ticks(const RecordsAttempt &attempt, int32_t clock)
{
    const int elapsed = attempt.limit_ticks - clock;
    return elapsed > 0 ? elapsed : 0;
}

int records_attempt_moves(const RecordsAttempt &attempt)
{
    const int moves = attempt.commands - attempt.undone;
    return moves > 0 ? moves : 0;
}
