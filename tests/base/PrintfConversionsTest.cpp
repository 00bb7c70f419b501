#include <gtest/gtest.h>

#include "base/PrintfConversions.h"

namespace varnex {
namespace {

struct FormatCase {
    const char* english;
    const char* translated;
    bool usable;
};

class PrintfConversionsMatchTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PrintfConversionsMatchTest, DecidesWhetherTheTranslationIsSafe) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(PrintfConversionsMatch(c.english, c.translated), c.usable)
        << "english \"" << c.english << "\", translated \"" << c.translated << "\"";
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintfConversionsMatchTest,
                         ::testing::Values(
                             // Same conversions: flags, widths and precisions may change.
                             FormatCase{"No conversions", "Keine Umwandlungen", true},
                             FormatCase{"%d of %d", "%d von %d", true},
                             FormatCase{"%s: %g mg/l", "%-20s: %10.4g mg/l", true},
                             FormatCase{"%5.2f", "%+#08.1f", true}, FormatCase{"%*d", "%*d", true},
                             FormatCase{"100%% of %d", "%d zu 100%%", true},
                             FormatCase{"%%", "", true}, FormatCase{"%c%c", "%c und %c", true},
                             // Reordered, extra or missing conversions read the wrong arguments.
                             FormatCase{"%d %s", "%s %d", false}, FormatCase{"%d", "%d %d", false},
                             FormatCase{"%d of %d", "%d", false}, FormatCase{"%s", "text", false},
                             FormatCase{"text", "%s", false},
                             // A changed type is as bad as a changed order.
                             FormatCase{"%d", "%u", false}, FormatCase{"%g", "%f", false},
                             FormatCase{"%ld", "%d", false}, FormatCase{"%lld", "%ld", false},
                             FormatCase{"%hd", "%hhd", false}, FormatCase{"%zu", "%lu", false},
                             FormatCase{"%lf", "%Lf", false}, FormatCase{"%ld", "%ld", true},
                             FormatCase{"%lld", "%12lld", true},
                             // "*" takes an argument of its own.
                             FormatCase{"%d", "%*d", false}, FormatCase{"%.*f", "%.2f", false},
                             FormatCase{"%*.*f", "%*.*f", true},
                             // %n writes through an argument: never from a language file.
                             FormatCase{"%d", "%d%n", false}, FormatCase{"%n", "%n", false},
                             // "%%" is literal, not a conversion.
                             FormatCase{"%d%%", "%d", true}, FormatCase{"%d", "%%d", false},
                             // Explicit positions and broken conversions are refused.
                             FormatCase{"%s %d", "%2$d %1$s", false},
                             FormatCase{"%s", "%1$s", false}, FormatCase{"%d", "%d %", false},
                             FormatCase{"%d", "%y", false}, FormatCase{"%d", "%*1$d", false}));

TEST(PrintfConversionsTest, ListsWhatEachConversionReads) {
    const auto conversions = PrintfConversions("%-*.*lld|%%|%#x|%5.2Lf|%hhu");
    ASSERT_TRUE(conversions.has_value());
    ASSERT_EQ(conversions->size(), 4u);
    EXPECT_EQ((*conversions)[0], (PrintfConversion{2, "ll", 'd'}));
    EXPECT_EQ((*conversions)[1], (PrintfConversion{0, "", 'x'}));
    EXPECT_EQ((*conversions)[2], (PrintfConversion{0, "L", 'f'}));
    EXPECT_EQ((*conversions)[3], (PrintfConversion{0, "hh", 'u'}));
    EXPECT_FALSE(PrintfConversions("ends in %").has_value());
    EXPECT_FALSE(PrintfConversions("%l").has_value());
}

} // namespace
} // namespace varnex
