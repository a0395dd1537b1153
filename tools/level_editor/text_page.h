/* text_page.h: a page of text over the editor's screen (help, faults, the proof's report),
   scrolled with the keys and the wheel, and the wrapping of long lines. */
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

enum {
    TEXT_COLUMNS = 78,              /* characters of a line, in the editor's 8-pixel font */
    PAGE_LINE = 11,                 /* pixels a line of a page */
    PAGE_ROWS = 40                  /* lines a page shows at once */
};

struct TextPage {
    std::string title;
    std::vector<std::string> lines;
    int first;                      /* the line at the top */
};

/* Breaks `text` into lines of at most `columns` characters, at blanks where it can, a word
   longer than a line cut; lines after the first start with `indent` blanks. Returns them. */
std::vector<std::string> wrap_text(const std::string &text, int columns, int indent = 0);

/* Starts the page afresh: its title, no lines, at its top. */
void page_begin(TextPage *page, const std::string &title);

/* Adds `text` to the page, wrapped to TEXT_COLUMNS, lines after its first indented by `indent`. */
void page_add(TextPage *page, const std::string &text, int indent = 2);

/* Scrolls by `lines` (negative up), within the page. */
void page_scroll(TextPage *page, int lines);

/* Takes a key of the page (readkey's value): arrows, PgUp, PgDn, Home and End scroll. Returns
   false for a key that closes it (Esc, Enter, F1 and any other). */
bool page_key(TextPage *page, int key);

/* Draws the page over all of `target`. */
void draw_page(BITMAP *target, const TextPage &page);
