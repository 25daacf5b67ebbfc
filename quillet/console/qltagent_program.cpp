#include "qltagent_program.h"

#include "console_options.h"
#include "message_table.h"
#include "pdf_conversion_document.h"
#include "pdf_library.h"
#include "quillet_convertor.h"
#include "tk_error_handler.h"
#include "tk_file_name.h"
#include "tk_file_probes.h"
#include "tk_log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Ends the process on a bad input: the message on standard error, exit code -1. The
// locals of main are not destroyed, so the settings are not stored.
[[noreturn]] void fatal_exit(const std::string& message)
{
    tk_log(3, "%s", message.c_str());
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::exit(-1);
}

// The usage text names the product's version, the one that the wizard's title shows.
[[noreturn]] void usage_exit()
{
    char text[1024];
    std::snprintf(text, sizeof text, msg::console_usage, msg::product_major, msg::product_minor);
    fatal_exit(text);
}

// The checks on the inputs, in the order a user meets their messages. Fills in the default
// destination (the source's folder and base name with ".txt") when none was given. Gives
// the document opened and checked for `page_list`, for the run to convert.
pdf_conversion_document check_inputs(const std::vector<std::uint32_t>& page_list)
{
    if (cmd_src.empty())
        fatal_exit(msg::console_no_source);
    if (!tk_is_file_exist(cmd_src, tk_probe_read))
        fatal_exit(msg::console_source_missing);

    // A wrong password, an unreadable document, a tree that holds more pages than its count
    // or a list without a page of it is reported before the destination is looked at. A
    // file that the library can't open at all passes here and is reported by the run.
    pdf_conversion_document doc(cmd_src, pdf_password_or_none(cmd_pswd), page_list);

    // The given name only: the default name below is checked by the run that creates it.
    if (tk_is_file_exist(cmd_dest, tk_probe_read) && !tk_is_file_exist(cmd_dest, tk_probe_write))
        fatal_exit(msg::console_dest_read_only);

    if (cmd_dest.empty()) {
        tk_file_name name(cmd_src);
        name.set_ext(".txt");
        cmd_dest = name.get_full_name();
    }
    if (!tk_is_path_exist(tk_file_name(cmd_dest).get_folder()))
        fatal_exit(msg::console_dest_path_missing);
    return doc;
}

} // namespace

int qltagent_program(int argc, char* argv[], const std::function<void(std::uint32_t)>& before_page_for_tests)
{
    quillet_convertor converter;
    error_handler handler;
    converter.before_page_for_tests = before_page_for_tests;
    try {
        if (argc < 2 || argc > 5 || !parse_cmd_line(argc, argv))
            usage_exit();
        pdf_conversion_document checked = check_inputs(converter.page_list);

        // Replaces what the settings held, also with empty texts: an empty "--pswd="
        // clears the stored password. Without "--pages=" the page list is empty: every page.
        converter.src = cmd_src;
        converter.dest = cmd_dest;
        converter.password = cmd_pswd;
        // The run converts the document that the check opened, through the file the check
        // opened, instead of opening it again.
        converter.hand_over_document(std::move(checked));
        converter();
    } catch (const tk_exception& e) {
        handler.handle(e, false);
    } catch (const std::exception& e) {
        fatal_exit(e.what());
    }
    return 0;
}
