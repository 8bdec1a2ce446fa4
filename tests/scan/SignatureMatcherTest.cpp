#include "scan/SignatureMatcher.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

std::vector<int> naiveMatches(const QStringList &signatures, const QByteArray &text)
{
    std::vector<int> found;
    for (int i = 0; i < signatures.size(); ++i) {
        const QByteArray signature = signatures[i].toUtf8();
        if (!signature.isEmpty() && text.contains(signature))
            found.push_back(i);
    }
    return found;
}

QByteArray randomText(QRandomGenerator &random, int maxLength, const char *alphabet)
{
    const int alphabetSize = int(qstrlen(alphabet));
    QByteArray text;
    const int length = random.bounded(maxLength + 1);
    for (int i = 0; i < length; ++i)
        text += alphabet[random.bounded(alphabetSize)];
    return text;
}

} // namespace

TEST(SignatureMatcher, AnswersEverySignatureThePathContainsInListOrderOnce)
{
    const SignatureMatcher matcher({QStringLiteral("hers"), QStringLiteral("he"), QStringLiteral("she"),
                                    QStringLiteral("his"), QStringLiteral("s")});
    EXPECT_EQ(matcher.matches("ushers"), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(matcher.matches("she sells shells"), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(matcher.matches("xyz").empty());
    EXPECT_TRUE(matcher.matches("").empty());
    EXPECT_EQ(matcher.size(), 5);
}

TEST(SignatureMatcher, ComparesBytesCaseSensitivelyAndNeverMatchesAnEmptySignature)
{
    const SignatureMatcher matcher({QString(), QStringLiteral("Genieo"), QStringLiteral("Genieo"),
                                    QStringLiteral("/Library/LaunchAgents/"), QStringLiteral("Café")});
    EXPECT_TRUE(matcher.matches("/Users/x/genieo").empty());
    // A signature listed twice answers both of its places.
    EXPECT_EQ(matcher.matches("/Users/x/Genieo.app"), (std::vector<int>{1, 2}));
    EXPECT_EQ(matcher.matches("/Library/LaunchAgents/Genieo.plist"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(matcher.matches(QStringLiteral("/x/Café/y").toUtf8()), (std::vector<int>{4}));
    // Bytes that are not UTF-8 around a signature do not hide it.
    EXPECT_EQ(matcher.matches("/x/\xff\xfeGenieo\xc3"), (std::vector<int>{1, 2}));
    EXPECT_TRUE(matcher.matches("/x/Caf\xc3").empty());
}

TEST(SignatureMatcher, AgreesWithPlainSubstringSearchOnRandomInput)
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 200; ++round) {
        QStringList signatures;
        const int count = random.bounded(1, 12);
        for (int i = 0; i < count; ++i)
            signatures.append(QString::fromLatin1(randomText(random, 5, "ab/c")));
        const SignatureMatcher matcher(signatures);
        for (int t = 0; t < 40; ++t) {
            const QByteArray text = randomText(random, 30, "ab/cd");
            ASSERT_EQ(matcher.matches(text), naiveMatches(signatures, text))
                << signatures.join(QLatin1Char('|')).toStdString() << " in " << text.toStdString();
        }
    }
}

// The walk feeds a folder's path once and then only each entry's name.
TEST(SignatureMatcher, ResumingFromAStateFindsWhatOneFeedFinds)
{
    const QStringList signatures{QStringLiteral("/Library/LaunchAgents/com.genieo.engine.plist"),
                                 QStringLiteral("Agents/com"), QStringLiteral("genieo"), QStringLiteral("/Users/")};
    const SignatureMatcher matcher(signatures);
    const QByteArray whole = "/Users/x/Library/LaunchAgents/com.genieo.engine.plist";
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        std::vector<int> found;
        const auto state = matcher.feed(SignatureMatcher::start(), whole.left(cut), found);
        matcher.feed(state, whole.mid(cut), found);
        SignatureMatcher::inListOrder(found);
        ASSERT_EQ(found, naiveMatches(signatures, whole)) << cut;
    }
}

TEST(SignatureMatcher, AnEmptyListMatchesNothing)
{
    const SignatureMatcher matcher;
    EXPECT_EQ(matcher.size(), 0);
    EXPECT_TRUE(matcher.matches("/anything/at/all").empty());
}
