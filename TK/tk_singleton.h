#pragma once
// tk_singleton<T>: registers the one T object of the process, reachable from anywhere.
#include "tk_exception.h"

#include <cstdio>
#include <exception>

namespace tk_singl {
// The source name under which the singleton's checks are reported.
inline constexpr const char* source = "..\\TK/tk_singl";
// A destructor may not throw: a failed check there is reported on stderr, then the process ends.
[[noreturn]] void end_process_on_failed_check(int line) noexcept;
} // namespace tk_singl

template <class T>
class tk_singleton {
public:
    // The T's vptr is not yet set while this base is built, so the downcast that
    // records the whole object's address is exempt from the sanitizer's vptr check.
    __attribute__((no_sanitize("vptr"))) tk_singleton()
    {
        if (instance_ptr != nullptr)
            throw tk_mail_assertion(tk_singl::source, 35);
        instance_ptr = static_cast<T*>(this);
    }

    tk_singleton(const tk_singleton&) = delete;
    tk_singleton& operator=(const tk_singleton&) = delete;

    virtual ~tk_singleton()
    {
        if (instance_ptr == nullptr)
            tk_singl::end_process_on_failed_check(46);
        instance_ptr = nullptr;
    }

    static T* instance()
    {
        if (instance_ptr == nullptr)
            throw tk_mail_assertion(tk_singl::source, 59);
        return instance_ptr;
    }

    static T* get_instance()
    {
        if (instance_ptr == nullptr)
            throw tk_mail_assertion(tk_singl::source, 66);
        return instance_ptr;
    }

    static bool has_instance() noexcept { return instance_ptr != nullptr; }

private:
    static inline T* instance_ptr = nullptr;
};
