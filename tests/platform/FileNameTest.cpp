#include "platform/FileName.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QString escape(unsigned char byte)
{
    return QString(QChar(char16_t(0xDC00 | byte)));
}

} // namespace

TEST(FileName, ValidUtf8ReadsAndWritesAsItself)
{
    for (const QString &name : {QStringLiteral("com.pcbooster.4821.plist"), QStringLiteral("Café ☕ 😀"), QString(),
                                QStringLiteral("\u00A0\uFEFFleading BOM")}) {
        const QByteArray bytes = name.toUtf8();
        EXPECT_EQ(FileName::decode(bytes), QString::fromUtf8(bytes));
        EXPECT_EQ(FileName::encode(name), bytes);
        EXPECT_FALSE(FileName::hasEscapedBytes(name));
    }
}

TEST(FileName, BytesThatAreNotUtf8TravelAsLoneSurrogatesAndComeBack)
{
    const QByteArray agent("com.pcbooster\xff.4821.plist");
    const QString text = FileName::decode(agent);
    EXPECT_EQ(text, QStringLiteral("com.pcbooster") + escape(0xFF) + QStringLiteral(".4821.plist"));
    EXPECT_TRUE(FileName::hasEscapedBytes(text));
    EXPECT_EQ(FileName::encode(text), agent);

    // Each byte of a sequence that is not valid UTF-8 is escaped on its own:
    // a lone continuation byte, a truncated sequence, an overlong "/", an
    // encoded surrogate, a code point past U+10FFFF; valid text around them
    // reads as itself.
    EXPECT_EQ(FileName::decode("a\x80z"), QStringLiteral("a") + escape(0x80) + QStringLiteral("z"));
    EXPECT_EQ(FileName::decode("\xc3"), escape(0xC3));
    EXPECT_EQ(FileName::decode("\xc0\xaf"), escape(0xC0) + escape(0xAF));
    EXPECT_EQ(FileName::decode("\xed\xb3\xbf"), escape(0xED) + escape(0xB3) + escape(0xBF));
    EXPECT_EQ(FileName::decode("\xf4\x90\x80\x80"), escape(0xF4) + escape(0x90) + escape(0x80) + escape(0x80));
    EXPECT_EQ(FileName::decode("\xe2\x98\x95\xff\xf0\x9f\x98\x80"),
              QStringLiteral("☕") + escape(0xFF) + QStringLiteral("😀"));

    // Every byte string, whatever it holds, comes back unchanged.
    QRandomGenerator random(4821);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(qsizetype(random.bounded(1, 24)), Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(random.bounded(1, 256));
        EXPECT_EQ(FileName::encode(FileName::decode(bytes)), bytes) << bytes.toHex().constData();
    }
}

TEST(FileName, OnlyLoneLowSurrogatesOfTheEscapeRangeAreBytes)
{
    // A surrogate pair is a character, even when its low half lies in the
    // escape range; so is U+DC7F, which no byte escapes to.
    const QString pair = QString::fromUcs4(U"\U00010080");
    EXPECT_FALSE(FileName::hasEscapedBytes(pair));
    EXPECT_EQ(FileName::encode(pair), pair.toUtf8());
    EXPECT_FALSE(FileName::hasEscapedBytes(QString(QChar(char16_t(0xDC7F)))));
    EXPECT_EQ(FileName::encode(QStringLiteral("x") + escape(0x80) + pair + escape(0xFF)),
              QByteArray("x\x80") + pair.toUtf8() + QByteArray("\xff"));
}
