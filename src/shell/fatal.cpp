/* fatal.cpp: the fatal-error path (interim: writes error.log and stderr, then exits). */
#include "shell/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void console_reset() {}
void console_putc(int c) { std::fputc(c, stdout); }
void console_puts(const char *text) { while (*text) console_putc(*text++); }
void console_newline() { console_putc('\n'); }

int console_printf(const char *format, ...)
{
    static char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    console_puts(buffer);
    return n < 0 ? 0 : (n < (int)sizeof buffer ? n : (int)sizeof buffer - 1);
}

void fatal_screen(const char *text)
{
    if (FILE *log = std::fopen("error.log", "w")) {
        std::fprintf(log, "%s\n", text);
        std::fclose(log);
    }
    std::fprintf(stderr, "FATAL ERROR! %s\n", text);
    std::exit(1);
}

void assert_failed(int line, const char *file)
{
    char text[180];
    std::snprintf(text, sizeof text, "Assertion failed in %s at line %d\n", file, line);
    fatal_screen(text);
}

int check(int condition, const char *message)
{
    if (condition)
        return 0;
    char text[180];
    std::snprintf(text, sizeof text, "Fatal exception: %s\n", message);
    fatal_screen(text);
}
