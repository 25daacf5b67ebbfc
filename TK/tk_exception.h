#pragma once
// The exception family: every failure travels as one of these to the error handler.
#include <exception>
#include <string>

// Builds the assertion message "Internal error: \ncode=" + hex digits of "file\line".
std::string tk_assertion_code(const char* file, int line);

class tk_exception : public std::exception {
public:
    tk_exception(const std::string& text, int level);
    explicit tk_exception(int level);
    tk_exception(const tk_exception&) = default;
    tk_exception& operator=(const tk_exception&) = default;
    ~tk_exception() override;

    const char* what() const noexcept override;

    std::string message;
    int code = 0;
    int level = 0;
};

// A failed system call: the code is the thread's last system error, the text the system's.
class tk_exception_ex : public tk_exception {
public:
    tk_exception_ex();
    tk_exception_ex(const tk_exception_ex&) = default;

private:
    void format_last_error(const std::string& leading_text);
};

// A broken internal precondition, named by its source and line.
class tk_mail_assertion : public tk_exception {
public:
    tk_mail_assertion(const char* file, int line);
    tk_mail_assertion(const tk_mail_assertion&) = default;
};

class pdf_wrong_pswd_exception : public tk_exception {
public:
    pdf_wrong_pswd_exception();
    pdf_wrong_pswd_exception(const pdf_wrong_pswd_exception&) = default;
};

// Thrown after an error has been reported: unwinds the operation without a second report.
class tk_final_exception : public std::exception {
public:
    tk_final_exception();
    tk_final_exception(const tk_final_exception&) = default;
};

// The one shape of every internal check: a test, then the assertion with the check's
// fixed source and line (constants at the call, so a report names the same check
// however the code moves).
inline void tk_verify(bool condition, const char* source, int line)
{
    if (!condition)
        throw tk_mail_assertion(source, line);
}
