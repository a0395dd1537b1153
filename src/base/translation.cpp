/* translation.cpp: the player's language: the catalogue of translated texts and its lookup. */
#include "base/translation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The build system defines it for this file alone, so that a new prefix recompiles only it.
#ifndef TIRVEX_LOCALE_DIR
#define TIRVEX_LOCALE_DIR "/usr/local/share/locale"
#endif

namespace {

/* The loaded catalogue: the file's bytes, and the originals and their translations in the
   file's order, which msgfmt sorts by strcmp, so a lookup is a binary search. */
std::vector<char> file_bytes;
std::vector<const char *> originals, translations;

/* The language choose_language loaded, "" for none. */
char loaded_language[LANGUAGE_CODE_SIZE] = "";

const uint32_t MO_MAGIC = 0x950412de, MO_MAGIC_SWAPPED = 0xde120495;

uint32_t swapped(uint32_t v)
{
    return v >> 24 | (v >> 8 & 0xff00) | (v << 8 & 0xff0000) | v << 24;
}

/* Whether the bytes are well-formed UTF-8: a catalogue in another encoding would draw as
   garbage, letter by letter. */
bool is_utf8(const unsigned char *s, size_t length)
{
    for (size_t i = 0; i < length;) {
        const unsigned c = s[i];
        const size_t more = c < 0x80 ? 0 : (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 :
                            (c & 0xf8) == 0xf0 ? 3 : 9;
        if (more == 9 || (more == 1 && c < 0xc2) || more >= length - i)
            return false;
        for (size_t k = 1; k <= more; k++)
            if ((s[i + k] & 0xc0) != 0x80)
                return false;
        i += more + 1;
    }
    return true;
}

/* The printf conversions of a text, in the order of the arguments they read: one letter a
   conversion, 'l' and the like kept before it ("ld"), '*' for a width read from the
   arguments. "%2$s %1$d" gives "d s". Returns false for a text whose conversions cannot be
   told (a position out of range, numbered mixed with unnumbered). */
bool conversions(const char *text, char *out, size_t size)
{
    char kinds[16][4] = {};
    int count = 0, numbered = -1;
    for (const char *p = std::strchr(text, '%'); p; p = std::strchr(p, '%')) {
        p++;
        if (*p == '%') {
            p++;
            continue;
        }
        int position = 0;
        const char *q = p;
        while (*q >= '0' && *q <= '9')
            q++;
        if (*q == '$' && q > p) {
            position = std::atoi(p);
            p = q + 1;
        }
        if (numbered >= 0 && numbered != (position > 0))
            return false;
        numbered = position > 0;
        if (!position)
            position = count + 1;
        while (*p && std::strchr("-+ #0'", *p))
            p++;
        while ((*p >= '0' && *p <= '9') || *p == '.' || *p == '*') {
            if (*p == '*')      // a width or precision read from the arguments
                return false;
            p++;
        }
        char kind[4] = {};
        size_t k = 0;
        while (*p && std::strchr("hlLqjzt", *p) && k < 2)
            kind[k++] = *p++;
        if (!*p || position < 1 || position > 16)
            return false;
        kind[k] = *p++;
        std::memcpy(kinds[position - 1], kind, sizeof kind);
        if (position > count)
            count = position;
    }
    out[0] = '\0';
    for (int i = 0; i < count; i++) {
        if (!kinds[i][0])
            return false;   // an argument no conversion reads: the ones after it misread
        std::snprintf(out + std::strlen(out), size - std::strlen(out), "%s ", kinds[i]);
    }
    return true;
}

/* Whether the translation reads the same arguments as its English, in their kinds. */
bool same_conversions(const char *english, const char *translation)
{
    if (!std::strchr(english, '%') && !std::strchr(translation, '%'))
        return true;
    char a[96], b[96];
    return conversions(english, a, sizeof a) && conversions(translation, b, sizeof b) &&
           !std::strcmp(a, b);
}

/* The largest catalogue read: some hundred times the game's texts in any language. */
const size_t CATALOGUE_LIMIT = 16 << 20;

/* Reads a whole file into bytes, up to one byte past CATALOGUE_LIMIT; false when it cannot be
   read. */
bool read_whole_file(const char *path, std::vector<char> *bytes)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    bytes->clear();
    char block[8192];
    size_t n;
    while (bytes->size() <= CATALOGUE_LIMIT && (n = std::fread(block, 1, sizeof block, f)) > 0)
        bytes->insert(bytes->end(), block, block + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool file_exists(const char *path)
{
    struct stat s;
    return stat(path, &s) == 0 && S_ISREG(s.st_mode);
}

/* Copies the code, up to its length in characters, into out. */
void put_code(char codes[LANGUAGE_MAX_CHOICES][LANGUAGE_CODE_SIZE], int *count,
              const char *code, size_t length)
{
    if (*count >= LANGUAGE_MAX_CHOICES || length == 0 || length >= LANGUAGE_CODE_SIZE)
        return;
    for (int i = 0; i < *count; i++)
        if (std::strlen(codes[i]) == length && !std::strncmp(codes[i], code, length))
            return;
    std::memcpy(codes[*count], code, length);
    codes[(*count)++][length] = '\0';
}

bool is_english(const char *code, size_t length)
{
    return (length == 1 && code[0] == 'C') || (length == 5 && !std::strncmp(code, "POSIX", 5)) ||
           (length >= 2 && !std::strncmp(code, "en", 2) && (length == 2 || code[2] == '_' ||
                                                            code[2] == '.' || code[2] == '@')) ||
           (length >= 2 && !std::strncmp(code, "C.", 2));
}

/* Adds one code of a list ("de_DE.UTF-8@euro"): "de_DE", then "de". Returns false for English,
   which ends the list. */
bool add_code(char codes[LANGUAGE_MAX_CHOICES][LANGUAGE_CODE_SIZE], int *count,
              const char *code, size_t length)
{
    if (is_english(code, length))
        return false;
    size_t whole = 0;
    while (whole < length && code[whole] != '.' && code[whole] != '@')
        whole++;
    put_code(codes, count, code, whole);
    size_t language = 0;
    while (language < whole && code[language] != '_')
        language++;
    put_code(codes, count, code, language);
    return true;
}

/* The folder of the running program into out (size bytes): from the kernel, else from argv[0]
   when it names a folder (read before the game enters its data folder). */
bool program_folder(const char *program_path, char *out, size_t size)
{
    ssize_t n = readlink("/proc/self/exe", out, size - 1);
    if (n > 0)
        out[n] = '\0';
    else if (program_path && std::strchr(program_path, '/'))
        std::snprintf(out, size, "%s", program_path);
    else
        return false;
    *std::strrchr(out, '/') = '\0';
    return true;
}

bool set(const char *value)
{
    return value && value[0];
}

} // namespace

const char *tr(const char *english)
{
    if (!english || !english[0])
        return english;     // the catalogue's empty original is its header, not a translation
    size_t low = 0, high = originals.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const int order = std::strcmp(originals[middle], english);
        if (order == 0)
            return translations[middle][0] ? translations[middle] : english;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return english;
}

bool catalogue_loaded()
{
    return !originals.empty();
}

const char *catalogue_language()
{
    return loaded_language;
}

void forget_catalogue()
{
    loaded_language[0] = '\0';
    originals.clear();
    translations.clear();
    file_bytes.clear();
}

bool load_catalogue(const char *path, char *fault, size_t size)
{
    forget_catalogue();
    fault[0] = '\0';
    std::vector<char> bytes;
    if (!read_whole_file(path, &bytes)) {
        std::snprintf(fault, size, "the catalogue %s cannot be read", path);
        return false;
    }
    const uint64_t length = bytes.size();
    const unsigned char *b = (const unsigned char *)bytes.data();
    bool swap = false;
    auto word = [&](uint64_t at) {
        uint32_t v;
        std::memcpy(&v, b + at, 4);
        return swap ? swapped(v) : v;
    };
    const char *wrong = nullptr;
    if (length > CATALOGUE_LIMIT) {
        wrong = "is larger than 16 MB, too large to be one";
    } else if (length < 28) {
        wrong = "is cut short";
    } else {
        const uint32_t magic = word(0);
        swap = magic == MO_MAGIC_SWAPPED;
        if (magic != MO_MAGIC && magic != MO_MAGIC_SWAPPED)
            wrong = "is not a compiled catalogue (msgfmt's .mo)";
        else if (word(4) >> 16 > 1)
            wrong = "is of a later format";
    }
    uint64_t count = 0;
    if (!wrong) {
        count = word(8);
        const uint64_t original_table = word(12), translation_table = word(16);
        const uint64_t hash_size = word(20), hash_table = word(24);
        if (original_table + count * 8 > length || translation_table + count * 8 > length ||
            (hash_size && hash_table + hash_size * 4 > length))
            wrong = "has tables running past its end";
        for (uint64_t i = 0; !wrong && i < 2 * count; i++) {
            const uint64_t entry = (i < count ? original_table : translation_table) + i % count * 8;
            const uint64_t text_length = word(entry), at = word(entry + 4);
            if (at + text_length >= length)
                wrong = "has a text running past its end";
            else if (b[at + text_length] != '\0')
                wrong = "has a text without its closing NUL";
            else if (i >= count && !is_utf8(b + at, text_length))
                wrong = "is not in UTF-8";
        }
        for (uint64_t i = 0; !wrong && i < count; i++) {
            const char *text = (const char *)b + word(original_table + i * 8 + 4);
            originals.push_back(text);
            translations.push_back((const char *)b + word(translation_table + i * 8 + 4));
            if (i > 0 && std::strcmp(originals[i - 1], text) >= 0)
                wrong = "has its texts out of order";
        }
        if (!wrong && count > 0 && !originals[0][0]) {
            // The header: a charset other than UTF-8 says the texts are in another encoding.
            const char *charset = std::strstr(translations[0], "charset=");
            if (charset && strncasecmp(charset + 8, "UTF-8", 5))
                wrong = "is not in UTF-8";
        }
    }
    if (wrong) {
        originals.clear();
        translations.clear();
        std::snprintf(fault, size, "the catalogue %s %s", path, wrong);
        return false;
    }
    int left_out = 0;
    for (size_t i = 0; i < originals.size(); i++)
        if (!same_conversions(originals[i], translations[i])) {
            translations[i] = "";
            left_out++;
        }
    if (left_out)
        std::snprintf(fault, size, "the catalogue %s has %d translations whose %% conversions "
                      "differ from the English: they stay English", path, left_out);
    // The texts point into the bytes, which stay where they are once moved.
    file_bytes.swap(bytes);
    return true;
}

int language_choices(const char *option, const char *language, const char *lc_all,
                     const char *lc_messages, const char *lang,
                     char codes[LANGUAGE_MAX_CHOICES][LANGUAGE_CODE_SIZE])
{
    int count = 0;
    if (option) {
        add_code(codes, &count, option, std::strlen(option));
        return count;
    }
    const char *locale = set(lc_all) ? lc_all : set(lc_messages) ? lc_messages :
                         set(lang) ? lang : "C";
    // In the C or POSIX locale gettext heeds no LANGUAGE: such a terminal shows plain English.
    if (!std::strcmp(locale, "C") || !std::strcmp(locale, "POSIX") ||
        !std::strncmp(locale, "C.", 2))
        return 0;
    if (set(language)) {
        for (const char *p = language; *p;) {
            const size_t length = std::strcspn(p, ":");
            if (length && !add_code(codes, &count, p, length))
                return count;
            p += length + (p[length] == ':');
        }
        return count;
    }
    add_code(codes, &count, locale, std::strlen(locale));
    return count;
}

void choose_language(const char *program, const char *option, const char *program_path)
{
    char codes[LANGUAGE_MAX_CHOICES][LANGUAGE_CODE_SIZE];
    const int count = language_choices(option, std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                       std::getenv("LC_MESSAGES"), std::getenv("LANG"), codes);
    if (count == 0)
        return;
    char beside[4096] = "";
    const bool known = program_folder(program_path, beside, sizeof beside);
    // The build tree's own catalogues beside the program first, so that a clone plays its own.
    const char *const formats[] = {"%s/locale/%s/LC_MESSAGES/tirvex.mo",
                                   TIRVEX_LOCALE_DIR "/%.0s%s/LC_MESSAGES/tirvex.mo",
                                   "%s/../share/locale/%s/LC_MESSAGES/tirvex.mo"};
    char path[2 * sizeof beside];
    for (int c = 0; c < count; c++)
        for (int f = 0; f < 3; f++) {
            if (!known && f != 1)
                continue;
            std::snprintf(path, sizeof path, formats[f], beside, codes[c]);
            if (!file_exists(path))
                continue;
            char fault[sizeof path + 256];
            if (load_catalogue(path, fault, sizeof fault))
                std::memcpy(loaded_language, codes[c], sizeof loaded_language);
            if (fault[0])
                std::fprintf(stderr, "%s: %s\n", program, fault);
            return;
        }
    if (option)
        std::fprintf(stderr, "%s: no catalogue of the language %s (tirvex.mo under %s or "
                     "in locale/ beside the program): the texts stay English\n", program, option,
                     TIRVEX_LOCALE_DIR);
}
