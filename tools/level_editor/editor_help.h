/* editor_help.h: the editor's help page: what the screen shows, every key and mouse action. */
#pragma once

#include "text_page.h"

/* Fills `page` with the help (F1, ? or H). */
void help_page(TextPage *page);
