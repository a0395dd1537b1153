/* command_line.cpp: the one command-line reader of the game and every tool. */
#include "base/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/translation.h"

namespace {

const CommandOption HELP_OPTION = {"help", nullptr, N_("show this help and exit"), 0, 0};
const CommandOption VERSION_OPTION = {"version", nullptr, N_("show the version and exit"), 0, 0};
const CommandOption LANGUAGE_OPTION = {
    "language", "CODE", N_("show the texts in the language CODE (de, es, fr; C for English)"), 0, 0};

/* Writes the fault and the usage line to standard error; returns the exit status 2. */
int refuse(const CommandSyntax *syntax, const char *fault, const char *argument)
{
    std::fprintf(stderr, "%s: %s %s\n", syntax->program, tr(fault), argument);
    print_usage(stderr, syntax);
    return 2;
}

void print_help(const CommandSyntax *syntax)
{
    std::printf("%s\n", tr(syntax->summary));
    print_usage(stdout, syntax);
    std::printf("%s\n", _("Options (one dash or two alike):"));
    char left[64];
    const int last = syntax->option_count + syntax->language;
    for (int i = -2; i < last; i++) {
        const CommandOption &o = i == -2 ? HELP_OPTION : i == -1 ? VERSION_OPTION :
                                 i == syntax->option_count ? LANGUAGE_OPTION : syntax->options[i];
        std::snprintf(left, sizeof left, "--%s%s%s", o.name, o.value_name ? " " : "",
                      o.value_name ? o.value_name : "");
        std::printf("  %-20s %s%s\n", left, tr(o.help), o.required ? _(" (required)") : "");
    }
}

/* Reads a whole number of the option's range; returns false for anything else. */
bool read_number(const char *text, const CommandOption &o, int64_t *out)
{
    char *end = nullptr;
    errno = 0;
    long long v = std::strtoll(text, &end, 10);
    if (end == text || *end || errno == ERANGE || v < o.low || v > o.high)
        return false;
    *out = v;
    return true;
}

/* Whether the word is a language code such as "de", "pt_BR" or "C": it becomes part of a
   path, so nothing that could leave the locale folder. */
bool is_language_code(const char *code)
{
    size_t n = std::strlen(code);
    return n > 0 && n < LANGUAGE_CODE_SIZE && code[0] != '.' &&
           std::strspn(code, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_@.-")
               == n;
}

/* Chooses the language before anything is written, so that even --help and the refusals come
   in it: the --language value (a well-formed one) wins over the environment. */
void choose_language_first(int argc, char **argv, const CommandSyntax *syntax)
{
    const char *code = nullptr;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--"); i++) {
        const char *a = argv[i];
        if (a[0] != '-')
            continue;
        a += a[1] == '-' ? 2 : 1;
        if (!std::strcmp(a, "language") && i + 1 < argc)
            code = argv[i + 1];
        else if (!std::strncmp(a, "language=", 9))
            code = a + 9;
    }
    choose_language(syntax->program, code && is_language_code(code) ? code : nullptr, argv[0]);
}

} // namespace

void print_usage(FILE *out, const CommandSyntax *syntax)
{
    std::fprintf(out, _("usage: %s"), syntax->program);
    for (int i = 0; i < syntax->option_count; i++) {
        const CommandOption &o = syntax->options[i];
        std::fprintf(out, o.required ? " --%s%s%s" : " [--%s%s%s]", o.name,
                     o.value_name ? " " : "", o.value_name ? o.value_name : "");
    }
    std::fprintf(out, "%s%s\n", syntax->operands[0] ? " " : "", syntax->operands);
}

int option_index(const CommandSyntax *syntax, const char *name)
{
    for (int i = 0; i < syntax->option_count; i++)
        if (!std::strcmp(syntax->options[i].name, name))
            return i;
    return -1;
}

int read_command_line(int argc, char **argv, const CommandSyntax *syntax, const char *version,
                      CommandLine *line)
{
    std::memset(line, 0, sizeof *line);
    if (syntax->language)
        choose_language_first(argc, argv, syntax);
    bool options_over = false;
    bool language_given = false;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (options_over || a[0] != '-' || a[1] == '\0') {
            if (line->operand_count >= syntax->max_operands ||
                line->operand_count >= COMMAND_MAX_OPERANDS)
                return refuse(syntax, N_("one argument too many:"), a);
            line->operands[line->operand_count++] = a;
            continue;
        }
        if (!std::strcmp(a, "--")) {
            options_over = true;
            continue;
        }
        // One dash or two; a value may follow an '=' within the same argument.
        const char *name = a + (a[1] == '-' ? 2 : 1);
        const char *equals = std::strchr(name, '=');
        char bare[64];
        size_t length = equals ? (size_t)(equals - name) : std::strlen(name);
        if (length >= sizeof bare)
            return refuse(syntax, N_("unknown option"), a);
        std::memcpy(bare, name, length);
        bare[length] = '\0';

        if (!equals && !std::strcmp(bare, "help")) {
            print_help(syntax);
            return 0;
        }
        if (!equals && !std::strcmp(bare, "version")) {
            std::printf("%s %s\n", syntax->program, version);
            return 0;
        }
        if (syntax->language && !std::strcmp(bare, "language")) {
            const char *value = equals ? equals + 1 : (i + 1 < argc ? argv[++i] : nullptr);
            if (language_given)
                return refuse(syntax, N_("given twice:"), a);
            if (!value)
                return refuse(syntax, N_("wants a value:"), a);
            if (!is_language_code(value))
                return refuse(syntax, N_("wants a language code such as de or C:"), value);
            language_given = true;
            continue;
        }
        int k = option_index(syntax, bare);
        if (k < 0)
            return refuse(syntax, N_("unknown option"), a);
        const CommandOption &o = syntax->options[k];
        // A second value would silently win over the first (two seeds, two folders): the
        // player meant one of them, and only they know which.
        if (line->given[k])
            return refuse(syntax, N_("given twice:"), a);
        if (!o.value_name) {
            if (equals)
                return refuse(syntax, N_("takes no value:"), a);
            line->given[k] = true;
            continue;
        }
        const char *value = equals ? equals + 1 : (i + 1 < argc ? argv[++i] : nullptr);
        if (!value)
            return refuse(syntax, N_("wants a value:"), a);
        if (o.low < o.high && !read_number(value, o, &line->number[k])) {
            char fault[96];
            std::snprintf(fault, sizeof fault, _("wants a whole number from %lld to %lld:"),
                          (long long)o.low, (long long)o.high);
            std::fprintf(stderr, "%s: %s %s %s\n", syntax->program, a, fault, value);
            print_usage(stderr, syntax);
            return 2;
        }
        line->given[k] = true;
        line->text[k] = value;
    }
    if (line->operand_count < syntax->min_operands)
        return refuse(syntax, N_("too few arguments:"), syntax->operands);
    for (int k = 0; k < syntax->option_count; k++)
        if (syntax->options[k].required && !line->given[k]) {
            char option[80];
            std::snprintf(option, sizeof option, "--%s", syntax->options[k].name);
            return refuse(syntax, N_("needs the option"), option);
        }
    return -1;
}

const char *path_file_name(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}
