#pragma once
// A walk over command-line arguments that matches each one against a table of option
// prefixes. The table ends with a row whose name is empty: that name begins every
// argument, so an argument that no option matches lands there and is counted as unmatched.
#include "tk_exception.h"

#include <span>

namespace tk_cmdli {
// The checks of the inline parts below and those of the source file.
inline constexpr const char* header_source = "..\\TK/tk_cmdli";
inline constexpr const char* source = "tk_cmdli";
} // namespace tk_cmdli

// One row of an option table: the id reported for a match and the prefix, "=" included.
struct cmd_option {
    int id;
    const char* name;
};

class TCmdLine {
public:
    static constexpr int max_unmatched = 20;

    virtual ~TCmdLine() = default;
    TCmdLine(const TCmdLine&) = delete;
    TCmdLine& operator=(const TCmdLine&) = delete;

    // Moves to the next argument; there must be a current one.
    virtual void advance() = 0;
    // True while there is a current argument.
    virtual bool has_more() const = 0;

    // The current argument's row id, -1 when no option matched it.
    int get_id() const
    {
        if (!has_more())
            throw tk_mail_assertion(tk_cmdli::header_source, 140);
        return id;
    }

    // The current argument past the matched prefix; the whole argument when unmatched.
    const char* get_value() const
    {
        if (!has_more())
            throw tk_mail_assertion(tk_cmdli::header_source, 147);
        return value;
    }

    int get_unmatched_count() const { return unmatched_count; }
    std::span<const char* const> get_unmatched() const
    {
        return {unmatched, static_cast<std::size_t>(unmatched_count)};
    }

protected:
    explicit TCmdLine(const cmd_option* table) : options(table) {}

    void add_unmatched(const char* argument)
    {
        if (unmatched_count >= max_unmatched)
            throw tk_mail_assertion(tk_cmdli::header_source, 52);
        unmatched[unmatched_count++] = argument;
    }

    const cmd_option* options;
    const char* value = nullptr;
    int id = -1;
    int unmatched_count = 0;
    const char* unmatched[max_unmatched] = {};
};

// The iterator over main's narrow argc/argv; argv[0], the program's own path, is skipped.
// The values point into argv and live as long as it does.
class ansi_cmd_line : public TCmdLine {
public:
    ansi_cmd_line(int argc, const char* const* argv, const cmd_option* table);

    void advance() override;
    bool has_more() const override;

private:
    void match(const char* argument);

    const char* const* cursor;
    int remaining;
};
