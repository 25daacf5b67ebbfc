#pragma once
// Mail without a user interface: a message handed to the system's mail transfer agent
// (sendmail, which reads the recipients from the message's header).
#include <string>

namespace plat {

struct mail_message {
    std::string subject;
    std::string body;
    std::string date_received; // shown as a header line when not empty
    std::string recipient;     // an address, without "mailto:"
};

// The mail transfer agent: sendmail on the PATH, else in /usr/sbin or /usr/lib; empty when
// there is none.
std::string find_mail_agent();

// Hands the message to the agent and returns the agent's exit status (0: accepted); -1 when
// the agent could not be run.
int send_mail(const std::string& agent, const mail_message& message);

// The message as the agent reads it: header lines, an empty line, the body.
std::string mail_text(const mail_message& message);

} // namespace plat
