#include "scan/SignatureMatcher.h"

#include <algorithm>
#include <deque>

SignatureMatcher::SignatureMatcher(const QStringList &signatures)
    : m_signatureCount(int(signatures.size()))
{
    std::vector<QByteArray> patterns;
    patterns.reserve(signatures.size());
    for (const QString &signature : signatures)
        patterns.push_back(signature.toUtf8());
    assignByteClasses(patterns);
    buildLinks(buildTrie(patterns));
}

// Bytes that occur in no signature share class 0, so a row only needs one
// column per distinct signature byte.
void SignatureMatcher::assignByteClasses(const std::vector<QByteArray> &patterns)
{
    for (const QByteArray &pattern : patterns) {
        for (const char byte : pattern) {
            std::uint8_t &cls = m_classOf[std::uint8_t(byte)];
            if (cls == 0)
                cls = std::uint8_t(m_classCount++);
        }
    }
}

std::uint32_t SignatureMatcher::addState()
{
    const auto state = std::uint32_t(m_next.size() / m_classCount);
    m_next.resize(m_next.size() + m_classCount, kNone);
    return state;
}

std::vector<std::vector<int>> SignatureMatcher::buildTrie(const std::vector<QByteArray> &patterns)
{
    std::vector<std::vector<int>> own;
    addState();
    own.emplace_back();
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (patterns[i].isEmpty())
            continue;
        std::uint32_t state = 0;
        for (const char byte : patterns[i]) {
            const std::size_t slot = state * m_classCount + m_classOf[std::uint8_t(byte)];
            if (m_next[slot] == kNone) {
                const std::uint32_t added = addState(); // may move the table
                own.emplace_back();
                m_next[slot] = added;
            }
            state = m_next[slot];
        }
        own[state].push_back(int(i));
    }
    return own;
}

// Breadth-first over the trie: each state's failure target is shallower, so
// its row is complete when the state's own missing transitions borrow from it.
void SignatureMatcher::buildLinks(const std::vector<std::vector<int>> &own)
{
    const std::size_t stateCount = own.size();
    std::vector<std::uint32_t> failure(stateCount, 0);
    m_outputLink.assign(stateCount, 0);
    m_outputBegin.resize(stateCount);
    m_outputEnd.resize(stateCount);
    for (std::size_t s = 0; s < stateCount; ++s) {
        m_outputBegin[s] = std::uint32_t(m_outputIndices.size());
        m_outputIndices.insert(m_outputIndices.end(), own[s].begin(), own[s].end());
        m_outputEnd[s] = std::uint32_t(m_outputIndices.size());
    }

    std::deque<std::uint32_t> queue{0};
    while (!queue.empty()) {
        const std::uint32_t state = queue.front();
        queue.pop_front();
        for (std::uint32_t c = 0; c < m_classCount; ++c) {
            std::uint32_t &next = m_next[state * m_classCount + c];
            const std::uint32_t fallback = state == 0 ? 0 : m_next[failure[state] * m_classCount + c];
            if (next == kNone) {
                next = fallback;
                continue;
            }
            failure[next] = fallback;
            m_outputLink[next] = own[fallback].empty() ? m_outputLink[fallback] : fallback;
            queue.push_back(next);
        }
    }

    // Store row offsets with the reporting bit instead of state numbers.
    for (std::uint32_t &target : m_next) {
        const bool reports = !own[target].empty() || m_outputLink[target] != 0;
        target = target * m_classCount | (reports ? kReports : 0);
    }
}

void SignatureMatcher::collect(std::uint32_t state, std::vector<int> &found) const
{
    for (std::uint32_t s = state; s != 0; s = m_outputLink[s])
        found.insert(found.end(), m_outputIndices.begin() + m_outputBegin[s], m_outputIndices.begin() + m_outputEnd[s]);
}

SignatureMatcher::State SignatureMatcher::feed(State state, QByteArrayView bytes, std::vector<int> &found) const
{
    const std::uint32_t *next = m_next.data();
    std::uint32_t row = state;
    for (const char byte : bytes) {
        const std::uint32_t target = next[row + m_classOf[std::uint8_t(byte)]];
        row = target & kRowMask;
        if (target & kReports)
            collect(row / m_classCount, found);
    }
    return row;
}

std::vector<int> SignatureMatcher::matches(QByteArrayView text) const
{
    std::vector<int> found;
    feed(start(), text, found);
    inListOrder(found);
    return found;
}

void SignatureMatcher::inListOrder(std::vector<int> &indices)
{
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
}
