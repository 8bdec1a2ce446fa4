#include "cli/TerminalText.h"

#include <gtest/gtest.h>

namespace {

std::string escaped(const QString &text)
{
    return TerminalText::escaped(text).toStdString();
}

} // namespace

TEST(TerminalTextTest, ControlCharactersAndBackslashesAreShownEscaped)
{
    EXPECT_EQ(escaped(QStringLiteral("a\x1b]0;title\a")), "a\\e]0;title\\a");
    EXPECT_EQ(escaped(QStringLiteral("x\nReport 1 stored.\r")), "x\\nReport 1 stored.\\r");
    EXPECT_EQ(escaped(QStringLiteral("\t\b\v\f")), "\\t\\b\\v\\f");
    EXPECT_EQ(escaped(QString(QChar(0)) + QStringLiteral("\x01\x1f\x7f")), "\\x00\\x01\\x1f\\x7f");
    EXPECT_EQ(escaped(QStringLiteral("C:\\new")), "C:\\\\new") << "a backslash cannot pass for an escape";
    // C1 controls: U+009B is a one-character CSI to many terminals.
    EXPECT_EQ(escaped(QStringLiteral("\u0085\u009b2J")), "\\u0085\\u009b2J");
}

TEST(TerminalTextTest, MarksThatReorderTextAreShownEscaped)
{
    EXPECT_EQ(escaped(QStringLiteral("evil\u202egpj.app")), "evil\\u202egpj.app");
    EXPECT_EQ(escaped(QStringLiteral("\u202a\u202b\u202c\u202d\u2066\u2067\u2068\u2069")),
              "\\u202a\\u202b\\u202c\\u202d\\u2066\\u2067\\u2068\\u2069");
    EXPECT_EQ(escaped(QStringLiteral("\u200e\u200f\u061c\u2028\u2029")), "\\u200e\\u200f\\u061c\\u2028\\u2029");
}

// Bytes that are not UTF-8 travel as lone surrogates U+DC80–U+DCFF; they are
// shown as the byte they stand for.
TEST(TerminalTextTest, LoneSurrogatesShowTheBytesTheyCarry)
{
    const QString name = QStringLiteral("com.pcbooster") + QChar(0xdcff) + QStringLiteral(".4821.plist");
    EXPECT_EQ(escaped(name), "com.pcbooster\\xff.4821.plist");
    EXPECT_EQ(escaped(QString(QChar(0xdc80)) + QChar(0xdc9b)), "\\x80\\x9b");
    // Other lone surrogates are not a byte: shown as the code unit.
    EXPECT_EQ(escaped(QString(QChar(0xd800)) + QLatin1Char('a')), "\\ud800a");
    EXPECT_EQ(escaped(QString(QChar(0xdc10))), "\\udc10");
}

TEST(TerminalTextTest, PrintableTextIsLeftAsItIs)
{
    const QString text = QStringLiteral("Genieo.app ~/Library/Caches/caf\u00e9 \u65e5\u672c \U0001F600 [High Risk]");
    EXPECT_EQ(TerminalText::escaped(text), text);
    EXPECT_EQ(escaped(QString()), "");
}
