#include "plat_mail.h"

#include "plat_process.h"

namespace plat {

namespace {

// A header value stays on its line: line breaks inside it become blanks.
std::string header_value(const std::string& text)
{
    std::string value = text;
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    return value;
}

} // namespace

std::string find_mail_agent() { return find_program("sendmail", {"/usr/sbin", "/usr/lib"}); }

std::string mail_text(const mail_message& message)
{
    std::string text = "To: " + header_value(message.recipient) + "\n";
    text += "Subject: " + header_value(message.subject) + "\n";
    if (!message.date_received.empty())
        text += "X-Date-Received: " + header_value(message.date_received) + "\n";
    text += "Content-Type: text/plain; charset=UTF-8\n\n";
    text += message.body;
    if (message.body.empty() || message.body.back() != '\n')
        text += "\n";
    return text;
}

int send_mail(const std::string& agent, const mail_message& message)
{
    // -oi: a line holding a single dot is text, not the end of the message.
    return run_with_input(agent, {"-t", "-oi"}, mail_text(message));
}

} // namespace plat
