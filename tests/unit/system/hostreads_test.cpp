#include "system/hostreads.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Read {
    const char* file;
    ProfileReadStatus status;
    const char* value;
    // What the read answers:
    const char* host;
    bool tell;
};

constexpr auto Ok = ProfileReadStatus::Ok;
constexpr auto Missing = ProfileReadStatus::Missing;
constexpr auto Unreadable = ProfileReadStatus::Unreadable;

TEST(HostReads, AFileThatBecomesUnreadableKeepsTheLastHostAndIsToldOnce) {
    const struct {
        const char* name;
        std::vector<Read> reads;
    } cases[] = {
        {"readable throughout",
         {{"a", Ok, "http://p", "http://p/", false}, {"a", Ok, "http://q/", "http://q/", false}}},
        {"missing file", {{"a", Missing, "", "/", false}, {"a", Missing, "", "/", false}}},
        {"unreadable from the start",
         {{"a", Unreadable, "", "", true},
          {"a", Unreadable, "", "", false},
          {"a", Unreadable, "", "", false}}},
        {"unreadable after start-up, one request after another",
         {{"a", Ok, "http://p", "http://p/", false},
          {"a", Unreadable, "", "http://p/", true},
          {"a", Unreadable, "", "http://p/", false},
          {"a", Unreadable, "", "http://p/", false}}},
        {"readable again, then unreadable again: told once a run",
         {{"a", Ok, "http://p", "http://p/", false},
          {"a", Unreadable, "", "http://p/", true},
          {"a", Ok, "http://q", "http://q/", false},
          {"a", Unreadable, "", "http://q/", false}}},
        {"the last host is the last one read",
         {{"a", Ok, "http://p", "http://p/", false},
          {"a", Missing, "", "/", false},
          {"a", Unreadable, "", "/", true}}},
        {"another file starts afresh",
         {{"a", Ok, "http://p", "http://p/", false},
          {"a", Unreadable, "", "http://p/", true},
          {"b", Unreadable, "", "", true},
          {"b", Ok, "http://r", "http://r/", false}}},
    };
    for (const auto& c : cases) {
        THostReads reads;
        int step = 0;
        for (const Read& read : c.reads) {
            const THostReads::Answer answer = reads.OnRead(
                QString::fromLatin1(read.file), {QString::fromLatin1(read.value), read.status});
            EXPECT_EQ(answer.host.toStdString(), std::string(read.host))
                << c.name << ", read " << step;
            EXPECT_EQ(answer.tellUnreadable, read.tell) << c.name << ", read " << step;
            ++step;
        }
    }
}

} // namespace
