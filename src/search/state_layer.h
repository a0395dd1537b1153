/* state_layer.h: one depth of the search's states, each kept as its difference from the one before. */
#pragma once

#include <cstddef>
#include <cstdint>

/* States appended in order and read back in order. A state is a record of `words` 32-bit words;
   it is stored as the runs of words that differ from the state appended before it (the first
   from a base record, the level's start). States reached one after another are mostly alike, so
   a state costs about what one command changed. */
struct StateLayer {
    uint8_t *bytes;
    uint64_t size;          /* bytes in use */
    uint64_t capacity;      /* bytes held */
    int64_t count;          /* states appended */
    uint32_t *last;         /* the state appended last, `words` words */
    size_t words;
    uint64_t given_back;    /* bytes from the start already read and given back */
    uint64_t reached;       /* the most bytes in use since the block was last all given back */
};

/* Empties the layer for states of `words` words stored from `base`, keeping its memory. Returns
   false when there is no memory for its copy of the last state. */
bool layer_begin(StateLayer *layer, const uint32_t *base, size_t words);

/* Appends `record`. Grows the layer only while `other_bytes` (what the caller holds besides)
   and the grown layer fit in `limit_bytes`; returns false, appending nothing, when they would
   not. */
bool layer_append(StateLayer *layer, const uint32_t *record, uint64_t other_bytes,
                  uint64_t limit_bytes);

/* Appends the state that differs from the one appended last by `runs` (`bytes` of them, as
   encode_runs writes them), as layer_append does, without comparing it again. */
bool layer_append_runs(StateLayer *layer, const uint8_t *runs, size_t bytes, uint64_t other_bytes,
                       uint64_t limit_bytes);

/* Reads the state stored at byte `offset` into `record`, which holds the state read before it
   (the base for the first), and returns the offset of the next one. */
uint64_t layer_read(const StateLayer &layer, uint64_t offset, uint32_t *record);

/* layer_read, also marking in `marks` (bit k of word k / 64) each block k of `stride` words,
   block k the words from first + k * stride on, that the state read differs in from the one
   before (the first 128 blocks; a run before `first` marks none). */
uint64_t layer_read_marking(const StateLayer &layer, uint64_t offset, uint32_t *record,
                            size_t first, size_t stride, uint64_t marks[2]);

/* Gives back to the system the whole pages of the layer before byte `offset`, which no one will
   read again: a layer read once frees its memory as it is read, while the next grows. Their
   bytes read as zero until the layer is begun again. */
void layer_give_back(StateLayer *layer, uint64_t offset);

/* Gives back every page the layer may still hold, once it has been read to its end. */
void layer_give_back_all(StateLayer *layer);

/* Bytes the layer holds. */
uint64_t layer_bytes(const StateLayer &layer);

/* Frees the layer's memory and empties it. */
void layer_free(StateLayer *layer);

/* Writes to `out` the runs of words in which `record` differs from `reference` (`words` words
   each) and returns the bytes written, at most runs_worst_case(words). With `update` set, the
   differing words are copied there too. Used by the layers and by the search's helper. */
size_t encode_runs(const uint32_t *record, const uint32_t *reference, size_t words, uint8_t *out,
                   uint32_t *update);

/* Applies runs written by encode_runs to `record`, which holds the reference; returns the bytes
   read. */
size_t decode_runs(const uint8_t *in, size_t words, uint32_t *record);

/* The most bytes encode_runs writes for a record of `words` words. */
uint64_t runs_worst_case(size_t words);
