#include "base/delimitedvalue.h"
#include "base/textsplit.h"

#include <gtest/gtest.h>

namespace {

struct LookupCase {
    const char* name;
    const char* lookFor;
    QString text;
    QString expected;
};

class DelimitedLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(DelimitedLookup, FindsTheValue) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(GetDelimitedValue(QString::fromUtf8(c.lookFor), c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DelimitedLookup,
    testing::Values(LookupCase{"cookie_three_items", "username",
                               "ReturnURL=http%3A%2F%2Fa%2F; ReturnTip=x; username=li", "li"},
                    LookupCase{"single_item_gives_empty", "username", "username=li", ""},
                    LookupCase{"name_ignores_case", "returnurl", "a=1; ReturnURL=u", "u"},
                    LookupCase{"first_match_only", "a", "a=1; A=2", "1"},
                    LookupCase{"blank_cuts_unquoted_value", "b", "a=1; b=x y; c=3", "x"},
                    LookupCase{"part_after_blank_is_an_item", "y", "a=1; b=x y=2", "2"},
                    LookupCase{"quoted_keeps_blanks", "b", "a=1; \"b=x y\"", "x y"},
                    LookupCase{"doubled_quote", "b", "a=1;\"b=say \"\"hi\"\"\"", "say \"hi\""},
                    LookupCase{"quoted_then_text", "cd", "\"ab\"cd=3;x=1", "3"},
                    LookupCase{"missing_name", "z", "a=1; b=2", ""},
                    LookupCase{"blank_text", "a", " \t\r\n", ""},
                    LookupCase{"trailing_semicolon_adds_item", "a", "a=1;", "1"},
                    LookupCase{"value_may_hold_equals", "a", "a=x=y; b=2", "x=y"},
                    LookupCase{"item_without_equals_has_empty_name", "", "abc; =v", ""},
                    LookupCase{"empty_name_item", "", "=v; b=2", "v"},
                    LookupCase{"leading_blanks_and_controls", "b", "\x01\x02 a=1;\tb=2", "2"},
                    LookupCase{"chinese_value", "tip", "a=1; tip=返回", QStringLiteral("返回")},
                    LookupCase{"empty_value", "a", "a=; b=2", ""}),
    [](const testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

struct SplitCase {
    const char* name;
    QString text;
    QString delimiter;
    QStringList expected;
};

class TextSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(TextSplitting, SplitsAtEveryDelimiter) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitText(c.text, c.delimiter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextSplitting,
    testing::Values(SplitCase{"two_lines", "a\nb", "\n", {"a", "b"}},
                    SplitCase{"trailing_delimiter", "a\n", "\n", {"a", ""}},
                    SplitCase{"only_delimiter", "\n", "\n", {"", ""}},
                    SplitCase{"empty_text", "", "\n", {}},
                    SplitCase{"no_delimiter", "abc", "\n", {"abc"}},
                    SplitCase{"long_delimiter", "xaby", "ab", {"x", "y"}},
                    SplitCase{"adjacent_delimiters", "a\n\nb", "\n", {"a", "", "b"}},
                    SplitCase{"overlapping_delimiter", "aaa", "aa", {"", "a"}},
                    SplitCase{"chinese", "确认\n关闭", "\n", {"确认", "关闭"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

} // namespace
