#include "tk_log.h"
#include "tk_singleton.h"

#include <gtest/gtest.h>
#include <memory>
#include <new>

namespace {

struct lone : tk_singleton<lone> {
    int value = 7;
};

struct first_base {
    virtual ~first_base() = default;
    long padding[3] = {1, 2, 3};
};

// Like the converter: the singleton part is not the first base.
struct late_singleton : first_base, tk_singleton<late_singleton> {
    int own = 11;
};

std::string assertion_text(int line) { return tk_assertion_code("..\\TK/tk_singl", line); }

TEST(tk_singleton, registers_one_instance_and_refuses_a_second)
{
    EXPECT_FALSE(lone::has_instance());
    {
        lone first;
        EXPECT_TRUE(lone::has_instance());
        EXPECT_EQ(lone::instance(), &first);
        EXPECT_EQ(lone::get_instance(), &first);
        try {
            lone second;
            FAIL() << "a second instance was built";
        } catch (const tk_mail_assertion& e) {
            EXPECT_EQ(e.what(), assertion_text(35));
        }
        EXPECT_EQ(lone::instance(), &first);
    }
    EXPECT_FALSE(lone::has_instance());
    lone again;
    EXPECT_EQ(lone::instance(), &again);
}

TEST(tk_singleton, access_without_instance_names_each_accessor)
{
    {
        lone temporary;
    }
    try {
        lone::instance();
        FAIL();
    } catch (const tk_mail_assertion& e) {
        EXPECT_EQ(e.what(), assertion_text(59));
    }
    try {
        lone::get_instance();
        FAIL();
    } catch (const tk_mail_assertion& e) {
        EXPECT_EQ(e.what(), assertion_text(66));
    }
    EXPECT_FALSE(lone::has_instance());
}

TEST(tk_singleton, instance_points_at_the_whole_object)
{
    late_singleton object;
    late_singleton* found = late_singleton::instance();
    EXPECT_EQ(found, &object);
    EXPECT_EQ(found->own, 11);
    EXPECT_EQ(static_cast<first_base*>(found)->padding[2], 3);
}

TEST(tk_singleton, log_settings_are_absent_by_default)
{
    EXPECT_FALSE(tk_log_settings::has_instance());
}

// Runs the singleton part's destructor a second time on a dead object, the only way
// to reach an unregistered destruction; the sanitizer's vptr check would stop it first.
__attribute__((no_sanitize("vptr"))) void destroy_part_twice()
{
    alignas(lone) unsigned char storage[sizeof(lone)];
    lone* object = new (storage) lone;
    tk_singleton<lone>* part = object;
    object->~lone();
    part->tk_singleton<lone>::~tk_singleton();
}

TEST(tk_singleton_death, destroying_an_unregistered_part_reports_and_ends)
{
    EXPECT_DEATH(destroy_part_twice(), "code=2e2e5c544b2f746b5f73696e676c5c3436");
}

} // namespace
