/* translation.h: the player's language: the catalogue of translated texts and its lookup. */
#pragma once

#include <cstddef>

/* Marks a text for the catalogue and looks it up: _("Paused") is the player's "Pausiert". */
#define _(english) tr(english)
/* Marks a text for the catalogue without looking it up, for static tables whose texts are
   looked up with tr() where they are shown. */
#define N_(english) english

/* Returns the translation of english in the loaded catalogue, or english itself (the same
   pointer) when there is none or no catalogue is loaded. A binary search over the catalogue
   read at start; nothing is allocated. */
const char *tr(const char *english) __attribute__((format_arg(1)));

/* Reads the compiled catalogue (msgfmt's .mo file) at path and makes it the one tr() looks in,
   in place of any loaded before. A file that cannot be read, is cut short or larger than
   16 MB, is of another kind, whose tables or texts run past its end, are out of order or lack
   their closing NUL, or whose texts are not UTF-8, is refused: English stays (the catalogue is
   forgotten) and false is returned with the fault, naming the file, in fault (size bytes). A
   translation whose % conversions differ from its English is left out (a wrong one would read
   the wrong argument), and said in fault while true is returned. */
bool load_catalogue(const char *path, char *fault, size_t size);

/* Forgets the loaded catalogue: every text is English again. */
void forget_catalogue();

/* True while a catalogue is loaded: the texts may hold letters beyond ASCII. */
bool catalogue_loaded();

/* The code of the language whose catalogue choose_language loaded ("de"), by which the game
   finds that language's pictures; "" while the texts are English. */
const char *catalogue_language();

enum { LANGUAGE_MAX_CHOICES = 8, LANGUAGE_CODE_SIZE = 32 };

/* The languages to try, best first, for the --language option (nullptr when absent) and the
   environment's LANGUAGE, LC_ALL, LC_MESSAGES and LANG (nullptr or empty when unset), read as
   gettext reads them: the option wins; else the locale is the first set of LC_ALL, LC_MESSAGES
   and LANG, and LANGUAGE (a list: "de:fr") is heeded unless that locale is C or POSIX; else the
   locale itself. Each code is tried whole and then by its language alone ("de_DE.UTF-8" gives
   "de_DE", then "de"). C, POSIX and English ("en", "en_GB") end the list: the texts are
   English already. Writes the codes into codes and returns their count, 0 for English. */
int language_choices(const char *option, const char *language, const char *lc_all,
                     const char *lc_messages, const char *lang,
                     char codes[LANGUAGE_MAX_CHOICES][LANGUAGE_CODE_SIZE]);

/* Chooses the player's language at start, with the --language option (nullptr when absent) and
   the environment as language_choices reads them, and loads the first catalogue found for it:
   locale/<code>/LC_MESSAGES/tirvex.mo in the working directory or beside the program
   (program_path is argv[0]; the build tree has it there), else in the installed locale folder,
   else in ../share/locale from the program's folder. A faulty catalogue, or none for a language
   the option asked for, gives one line on standard error starting with program, and English. */
void choose_language(const char *program, const char *option, const char *program_path);
