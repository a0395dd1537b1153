/* records_file_fuzz.cpp: feeds arbitrary bytes to the records file reader, and writes back and
   reads again whatever it takes: the same table must come back, byte for byte when written. */
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ui/records_file.h"

namespace {

RecordsTable first, second;
LevelPar first_pars[RECORDS_LEVEL_LIMIT + 1], second_pars[RECORDS_LEVEL_LIMIT + 1];
char text[RECORDS_FILE_LIMIT + 1], again[RECORDS_FILE_LIMIT + 1];
char fault[RECORDS_FAULT_SIZE];

/* The map every level has now, for the level lines without a hash. */
uint64_t current_map(int)
{
    return 0xc0ffee;
}

bool same_record(const LevelRecord &a, const LevelRecord &b)
{
    for (int kind = 0; kind < RECORD_KINDS; kind++) {
        if (a.moves[kind] != b.moves[kind] || a.ticks[kind] != b.ticks[kind])
            return false;
    }
    return true;
}

void check_fault()
{
    if (std::memchr(fault, '\0', sizeof fault) == nullptr || fault[0] == '\0')
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The game reads a file of at most RECORDS_FILE_LIMIT bytes; the reader takes any length.
    fault[0] = '\0';
    if (!parse_records_text((const char *)data, size, "fuzz.txt", current_map, &first,
                            first_pars, fault, sizeof fault)) {
        check_fault();
        return 0;
    }
    if (first.count < 0 || first.count > RECORDS_MAP_LIMIT)
        __builtin_trap();
    for (int i = 0; i < first.count; i++) {
        const MapRecord &m = first.maps[i];
        if (m.level < 1 || m.level > RECORDS_LEVEL_LIMIT)
            __builtin_trap();
        for (int kind = 0; kind < RECORD_KINDS; kind++) {
            if ((m.record.moves[kind] == RECORD_NONE) != (m.record.ticks[kind] == RECORD_NONE))
                __builtin_trap();
        }
    }

    // Written, it fits a records file and reads back as the same table.
    const size_t length = format_records_text(first, first_pars, text, sizeof text);
    if (length > RECORDS_FILE_LIMIT || std::strlen(text) != length)
        __builtin_trap();
    if (!parse_records_text(text, length, "fuzz.txt", current_map, &second, second_pars, fault,
                            sizeof fault))
        __builtin_trap();
    if (second.count != first.count)
        __builtin_trap();
    for (int i = 0; i < first.count; i++) {
        const MapRecord &m = first.maps[i];
        const MapRecord *back = find_map_record(&second, m.level, m.map_hash);
        if (!back || !same_record(back->record, m.record))
            __builtin_trap();
    }
    for (int level = 0; level <= RECORDS_LEVEL_LIMIT; level++) {
        const LevelPar &a = first_pars[level], &b = second_pars[level];
        if (a.state != b.state ||
            (a.state == PAR_KNOWN && (a.moves != b.moves || a.waits != b.waits ||
                                      a.ticks != b.ticks || a.map_hash != b.map_hash)))
            __builtin_trap();
    }
    const size_t length_again = format_records_text(second, second_pars, again, sizeof again);
    if (length_again != length || std::memcmp(text, again, length) != 0)
        __builtin_trap();
    return 0;
}
