#include "tk_command_line.h"

#include <cstring>

ansi_cmd_line::ansi_cmd_line(int argc, const char* const* argv, const cmd_option* table)
    : TCmdLine(table), cursor(argv + 1), remaining(argc - 1)
{
    // A negative count (an empty argv) reaches the check in match without reading argv.
    if (remaining != 0)
        match(remaining > 0 ? *cursor : nullptr);
}

bool ansi_cmd_line::has_more() const { return remaining > 0; }

void ansi_cmd_line::advance()
{
    if (!has_more())
        throw tk_mail_assertion(tk_cmdli::source, 60);
    ++cursor;
    --remaining;
    if (has_more())
        match(*cursor);
}

void ansi_cmd_line::match(const char* argument)
{
    if (!has_more())
        throw tk_mail_assertion(tk_cmdli::source, 19);
    // The first row whose name begins the argument wins; the terminator's "" always does.
    const cmd_option* row = options;
    while (std::strncmp(argument, row->name, std::strlen(row->name)) != 0)
        ++row;
    value = argument + std::strlen(row->name);
    if (row->name[0] != '\0') {
        id = row->id;
    } else {
        id = -1;
        add_unmatched(argument);
    }
}
