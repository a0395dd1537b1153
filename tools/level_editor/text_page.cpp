/* text_page.cpp: a scrolling page of text over the editor's screen, and the wrapping of lines. */
#include "text_page.h"

#include <cstdio>

namespace {

/* Where letter `letters` of text begins, counted in UTF-8 letters (a translation's "ü" is two
   bytes and one column); the text's size when it has no more. */
size_t letter_start(const std::string &text, int letters)
{
    size_t at = 0;
    for (int n = 0; at < text.size() && n < letters; n++)
        do
            at++;
        while (at < text.size() && ((unsigned char)text[at] & 0xc0) == 0x80);
    return at;
}

} // namespace

std::vector<std::string> wrap_text(const std::string &text, int columns, int indent)
{
    std::vector<std::string> lines;
    std::string rest = text;
    int room = columns;
    while (letter_start(rest, room) < rest.size()) {
        const size_t width = letter_start(rest, room);
        size_t cut = rest.rfind(' ', width);
        size_t next = cut == std::string::npos || cut == 0 ? width : cut + 1;
        if (cut == std::string::npos || cut == 0)
            cut = width;
        lines.push_back((lines.empty() ? "" : std::string((size_t)indent, ' ')) + rest.substr(0, cut));
        rest = rest.substr(next);
        room = columns - indent;
    }
    lines.push_back((lines.empty() ? "" : std::string((size_t)indent, ' ')) + rest);
    return lines;
}

void page_begin(TextPage *page, const std::string &title)
{
    page->title = title;
    page->lines.clear();
    page->first = 0;
}

void page_add(TextPage *page, const std::string &text, int indent)
{
    for (const std::string &line : wrap_text(text, TEXT_COLUMNS, indent))
        page->lines.push_back(line);
}

void page_scroll(TextPage *page, int lines)
{
    const int last = (int)page->lines.size() - PAGE_ROWS;
    page->first += lines;
    if (page->first > last)
        page->first = last;
    if (page->first < 0)
        page->first = 0;
}

bool page_key(TextPage *page, int key)
{
    switch (key >> 8) {
    case KEY_UP: page_scroll(page, -1); return true;
    case KEY_DOWN: page_scroll(page, 1); return true;
    case KEY_PGUP: page_scroll(page, -(PAGE_ROWS - 1)); return true;
    case KEY_PGDN:
    case KEY_SPACE: page_scroll(page, PAGE_ROWS - 1); return true;
    case KEY_HOME: page_scroll(page, -(int)page->lines.size()); return true;
    case KEY_END: page_scroll(page, (int)page->lines.size()); return true;
    default: return false;
    }
}

void draw_page(BITMAP *target, const TextPage &page)
{
    const int width = target->w;
    rectfill(target, 0, 0, width - 1, target->h - 1, makecol(12, 12, 28));
    rectfill(target, 0, 0, width - 1, 13, makecol(40, 40, 90));
    textout_ex(target, font, page.title.c_str(), 6, 3, makecol(255, 255, 255), -1);
    for (int row = 0; row < PAGE_ROWS && page.first + row < (int)page.lines.size(); row++)
        textout_ex(target, font, page.lines[(size_t)(page.first + row)].c_str(), 6,
                   18 + PAGE_LINE * row, makecol(220, 220, 220), -1);
    char footer[120];
    const int total = (int)page.lines.size();
    const int last = page.first + PAGE_ROWS < total ? page.first + PAGE_ROWS : total;
    std::snprintf(footer, sizeof footer, "lines %d-%d of %d: arrows, PgUp, PgDn, wheel scroll; Esc closes",
                  total ? page.first + 1 : 0, last, total);
    rectfill(target, 0, target->h - 14, width - 1, target->h - 1, makecol(40, 40, 90));
    textout_ex(target, font, footer, 6, target->h - 11, makecol(200, 200, 255), -1);
}
