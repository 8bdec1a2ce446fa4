#pragma once

#include <QByteArrayView>
#include <QStringList>
#include <cstdint>
#include <vector>

// Finds every signature of a list that a path contains, in one pass over the
// path's bytes, however long the list is. The walk builds one matcher per run
// from the full-system signature list and compares every visited path with it.
//
// Signatures are compared as UTF-8 bytes, case-sensitively, so names that are
// not valid UTF-8 are compared as they are on disk. An empty signature is
// contained in no path. A signature listed twice answers both its indices.
//
// The matcher is an Aho-Corasick automaton turned into a complete transition
// table over the byte classes that occur in the signatures. Matching can be
// resumed: the walk keeps the state after a folder's path, and each entry of
// the folder only feeds "/" and its own name from there. Immutable once
// built, so one matcher may be shared by several threads.
class SignatureMatcher
{
public:
    // Opaque position in the automaton.
    using State = std::uint32_t;

    SignatureMatcher() : SignatureMatcher(QStringList()) {}
    explicit SignatureMatcher(const QStringList &signatures);

    // Number of signatures given, empty ones included.
    int size() const { return m_signatureCount; }

    // Index, in list order and each once, of every signature the text contains.
    std::vector<int> matches(QByteArrayView text) const;

    // The state before any byte.
    static constexpr State start() { return 0; }
    // Feeds bytes after the given state and answers the state after them.
    // Appends to found the index of every signature occurrence that ends in
    // these bytes (including occurrences that began in earlier bytes), in no
    // particular order and possibly repeated; see inListOrder().
    State feed(State state, QByteArrayView bytes, std::vector<int> &found) const;
    // Sorts indices into list order and drops repeats.
    static void inListOrder(std::vector<int> &indices);

private:
    // A transition's target is the row offset of the next state; the top bit
    // tells that some signature ends in that state.
    static constexpr std::uint32_t kReports = 0x80000000u;
    static constexpr std::uint32_t kRowMask = 0x7fffffffu;
    static constexpr std::uint32_t kNone = 0xffffffffu;

    void assignByteClasses(const std::vector<QByteArray> &patterns);
    std::vector<std::vector<int>> buildTrie(const std::vector<QByteArray> &patterns);
    void buildLinks(const std::vector<std::vector<int>> &own);
    std::uint32_t addState();
    void collect(std::uint32_t state, std::vector<int> &found) const;

    int m_signatureCount = 0;
    std::uint32_t m_classCount = 1;
    std::uint8_t m_classOf[256] = {};
    // m_next[state * m_classCount + class], with states numbered by row.
    std::vector<std::uint32_t> m_next;
    // Per state number: the signatures that end exactly there (a range of
    // m_outputIndices) and the nearest state on the failure chain that has
    // signatures of its own (0, the root, when none).
    std::vector<std::uint32_t> m_outputBegin;
    std::vector<std::uint32_t> m_outputEnd;
    std::vector<std::uint32_t> m_outputLink;
    std::vector<int> m_outputIndices;
};
