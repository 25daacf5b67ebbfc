#include "console_options.h"

#include "message_table.h"
#include "quillet_convertor.h"
#include "tk_command_line.h"
#include "tk_log.h"

std::string cmd_src;
std::string cmd_dest;
std::string cmd_pswd;

namespace {
enum option_id { id_src = 0, id_dest = 1, id_pages = 2, id_pswd = 3 };
}

bool parse_cmd_line(int argc, const char* const* argv)
{
    tk_log(1, "parse_cmd_line");
    for (int index = 0; index < argc; ++index)
        tk_log(1, "parameter #%d: %s", index, argv[index]);

    const cmd_option options[] = {
        {id_src, msg::option_src}, {id_dest, msg::option_dest}, {id_pages, msg::option_pages},
        {id_pswd, msg::option_pswd}, {0, ""},
    };
    ansi_cmd_line line(argc, argv, options);
    while (line.has_more()) {
        switch (line.get_id()) {
        case id_src:
            cmd_src = line.get_value();
            break;
        case id_dest:
            cmd_dest = line.get_value();
            break;
        case id_pages:
            quillet_convertor::instance()->set_page_range(std::string(line.get_value()));
            break;
        case id_pswd:
            cmd_pswd = line.get_value();
            break;
        default:
            break;
        }
        line.advance();
    }
    return line.get_unmatched_count() == 0;
}
