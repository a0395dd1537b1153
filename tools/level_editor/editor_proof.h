/* editor_proof.h: the editor's proof that its level can be won, run a slice at a time between
   frames, and the report that explains it: the way found and its fairness, or how near the
   search came. */
#pragma once

#include <string>

#include "search/level_search.h"
#include "text_page.h"

enum ProofState { PROOF_NONE, PROOF_RUNNING, PROOF_WON, PROOF_NOT_WON };

/* Begins a proof of the level in `map_text` with the level checker's own limits, so that both
   reach the same states. Returns what to say: "proving..." or why it cannot begin. */
std::string proof_start(const std::string &map_text);

/* Runs the proof for about `ms` milliseconds. Returns what to say: its progress while it runs,
   then its outcome ("won in 3 moves and 0 waits, ...; A explains, W shows it" or "cannot be won:
   ..." with the nearest the search came). */
std::string proof_slice(int ms);

/* Stops a proof under way; the level counts as not proved. */
void proof_cancel();

/* Forgets the last proof: the level it proved has changed. */
void proof_forget();

ProofState proof_state();

/* The way the last proof found; only meaningful in PROOF_WON. */
const SearchResult &proof_way();

/* Why W cannot show a way now, for the status line; empty when it can. */
std::string proof_way_refusal();

/* Fills `page` with the report of the last proof on `map_text`: its outcome, the way's commands,
   and the fairness analysis (run now, the first time after a proof, calling `progress` with what
   it does), or how near the search came to a win. Called by the editor's report key. */
void proof_report(TextPage *page, const std::string &map_text,
                  void (*progress)(const char *stage, int64_t positions));
