#include "scan/FolderReadAhead.h"

#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// A position is the folder's parent's position followed by the folder's
// index among its parent's subfolders, four bytes big-endian: positions
// then sort in depth-first order.
constexpr std::size_t kPositionStep = 4;

// A wait for the other side is usually over within a folder read or two:
// spinning that long costs less than sleeping and being woken.
constexpr auto kSpin = std::chrono::microseconds(50);

void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

template <typename Done>
bool spinUntil(Done done)
{
    const auto until = std::chrono::steady_clock::now() + kSpin;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (done())
                return true;
            relax();
        }
        if (std::chrono::steady_clock::now() >= until)
            return done();
    }
}

void appendIndex(std::string &position, std::size_t index)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        position.push_back(char((index >> shift) & 0xff));
}

} // namespace

// One subfolder of a batch. Its state changes under the read-ahead's mutex.
struct FolderReadAhead::Slot
{
    enum class State : char { Pending, Reading, Ready, Dropped, Taken };

    Batch *batch = nullptr;
    std::string position;
    std::string name;
    // Read without the mutex while spinning.
    std::atomic<State> state{State::Pending};
    // Its place in the queue while Pending.
    std::set<Slot *, EarlierFirst>::iterator queued;
    // While Ready.
    Opened result;
};

// The subfolders of one listed folder, with a descriptor of that folder of
// the batch's own: the pass may close its descriptor while threads still
// open subfolders through this one. Its slots leave the queue before the
// batch goes (dropLocked()); a thread reading one of them holds the batch.
class FolderReadAhead::Batch : public std::enable_shared_from_this<Batch>
{
public:
    Batch(int fd, FolderListing::HiddenFiles hiddenFiles, std::size_t count)
        : fd(fd)
        , hiddenFiles(hiddenFiles)
        , slots(std::make_unique<Slot[]>(count))
        , slotCount(count)
    {
    }
    ~Batch()
    {
        for (std::size_t i = 0; i < slotCount; ++i) {
            if (slots[i].result.fd >= 0)
                ::close(slots[i].result.fd);
        }
        ::close(fd);
    }
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    const int fd;
    const FolderListing::HiddenFiles hiddenFiles;
    const std::unique_ptr<Slot[]> slots;
    const std::size_t slotCount;
    // The first slot neither taken nor dropped.
    std::size_t next = 0;
};

bool FolderReadAhead::EarlierFirst::operator()(const Slot *a, const Slot *b) const
{
    return a->position < b->position;
}

// A folder read ahead holds up to two descriptors (its own and its batch's);
// reading ahead keeps to a quarter of what the process may open.
std::size_t FolderReadAhead::windowWithin(std::size_t window)
{
    struct rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        window = std::min<std::size_t>(window, std::size_t(limit.rlim_cur) / 8);
    return window < 1 ? 1 : window;
}

FolderReadAhead::FolderReadAhead(int threads, std::size_t window, std::size_t byteBudget)
    : m_window(windowWithin(window))
    , m_byteBudget(byteBudget)
{
    m_threads.reserve(std::size_t(threads < 0 ? 0 : threads));
    for (int i = 0; i < threads; ++i) {
        try {
            m_threads.emplace_back([this] { run(); });
        } catch (const std::system_error &error) {
            // With fewer threads, or none, the pass reads more folders itself.
            Log::warning(QStringLiteral("Reading folders ahead with %1 of %2 threads: %3")
                             .arg(i)
                             .arg(threads)
                             .arg(QString::fromLocal8Bit(error.what())));
            break;
        }
    }
}

FolderReadAhead::~FolderReadAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

FolderReadAhead::Opened FolderReadAhead::openFolder(int folderFd, const char *name)
{
    Opened opened;
    opened.fd = ::openat(folderFd, name, kOpenFlags);
    struct stat st{};
    if (opened.fd < 0 || ::fstat(opened.fd, &st) != 0) {
        opened.error = errno;
        if (opened.fd >= 0)
            ::close(opened.fd);
        opened.fd = -1;
        return opened;
    }
    opened.device = st.st_dev;
    opened.inode = st.st_ino;
    return opened;
}

FolderReadAhead::Opened FolderReadAhead::open(int folderFd, const char *name, FolderListing::HiddenFiles hiddenFiles)
{
    Opened opened = openFolder(folderFd, name);
    if (opened.fd >= 0)
        opened.listing = FolderListing::read(opened.fd, hiddenFiles);
    return opened;
}

std::string FolderReadAhead::rootPosition(quint32 serial)
{
    std::string position;
    appendIndex(position, serial);
    return position;
}

// Without the mutex: duplicates the descriptor.
std::shared_ptr<FolderReadAhead::Batch> FolderReadAhead::makeBatch(int fd, const FolderListing &listing,
                                                                   FolderListing::HiddenFiles hiddenFiles,
                                                                   const std::string &position) const
{
    if (m_threads.empty() || fd < 0 || position.size() >= kMaxDepth * kPositionStep)
        return nullptr;
    std::size_t subfolders = 0;
    for (qsizetype i = 0; i < listing.count(); ++i)
        subfolders += listing.kind(i) == FolderListing::Kind::Folder ? 1 : 0;
    if (subfolders == 0)
        return nullptr;
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return nullptr;
    auto batch = std::make_shared<Batch>(copy, hiddenFiles, subfolders);
    std::size_t at = 0;
    for (qsizetype i = 0; i < listing.count(); ++i) {
        if (listing.kind(i) != FolderListing::Kind::Folder)
            continue;
        Slot &slot = batch->slots[at];
        slot.batch = batch.get();
        slot.position.reserve(position.size() + kPositionStep);
        slot.position = position;
        appendIndex(slot.position, at);
        slot.name.assign(listing.name(i).data(), std::size_t(listing.name(i).size()));
        ++at;
    }
    return batch;
}

// Under the mutex.
void FolderReadAhead::queue(Batch &batch)
{
    for (std::size_t i = 0; i < batch.slotCount; ++i)
        batch.slots[i].queued = m_queue.insert(&batch.slots[i]).first;
    m_queued.store(m_queue.size(), std::memory_order_relaxed);
    if (m_idle > 0)
        m_wake.notify_all();
}

std::shared_ptr<FolderReadAhead::Batch> FolderReadAhead::schedule(int folderFd, const FolderListing &listing,
                                                                  FolderListing::HiddenFiles hiddenFiles,
                                                                  const std::string &position)
{
    std::shared_ptr<Batch> batch = makeBatch(folderFd, listing, hiddenFiles, position);
    if (batch) {
        const std::lock_guard lock(m_mutex);
        queue(*batch);
    }
    return batch;
}

std::optional<FolderReadAhead::Opened> FolderReadAhead::take(Batch &batch, QByteArrayView name)
{
    std::unique_lock lock(m_mutex);
    std::size_t index = batch.next;
    while (index < batch.slotCount && QByteArrayView(batch.slots[index].name) != name)
        ++index;
    if (index == batch.slotCount)
        return std::nullopt;
    for (; batch.next < index; ++batch.next)
        dropSlot(batch.slots[batch.next]);
    ++batch.next;
    Slot &slot = batch.slots[index];
    if (slot.state == Slot::State::Pending) {
        m_queue.erase(slot.queued);
        m_queued.store(m_queue.size(), std::memory_order_relaxed);
        slot.state = Slot::State::Taken;
        lock.unlock();
        Opened opened = open(batch.fd, slot.name.c_str(), batch.hiddenFiles);
        opened.position = slot.position;
        return opened;
    }
    waitForRead(lock, slot);
    slot.state = Slot::State::Taken;
    --m_readyCount;
    m_readyBytes -= slot.result.listing.byteSize();
    Opened opened = std::move(slot.result);
    slot.result = Opened();
    if (m_idle > 0)
        m_wake.notify_one();
    lock.unlock();
    // Out of descriptors while reading ahead: now that this folder's turn
    // has come, it gets another chance, as it would have without read-ahead.
    if (opened.fd < 0 && (opened.error == EMFILE || opened.error == ENFILE)) {
        opened = open(batch.fd, slot.name.c_str(), batch.hiddenFiles);
        opened.position = slot.position;
    }
    return opened;
}

// Rather than wait for a thread to finish the folder, reads what comes next
// meanwhile; spins, then sleeps, only when there is nothing it may read.
void FolderReadAhead::waitForRead(std::unique_lock<std::mutex> &lock, const Slot &slot)
{
    auto canRead = [this] { return !m_queue.empty() && hasRoom(); };
    while (slot.state != Slot::State::Ready) {
        if (canRead()) {
            readNext(lock);
            continue;
        }
        lock.unlock();
        const bool ready = spinUntil([&slot] { return slot.state.load(std::memory_order_acquire) == Slot::State::Ready; });
        lock.lock();
        if (ready)
            continue;
        ++m_waiting;
        m_done.wait(lock, [&] { return slot.state == Slot::State::Ready || canRead(); });
        --m_waiting;
    }
}

void FolderReadAhead::drop(Batch &batch)
{
    const std::lock_guard lock(m_mutex);
    dropLocked(batch);
    if (m_idle > 0)
        m_wake.notify_all();
}

void FolderReadAhead::dropLocked(Batch &batch)
{
    for (; batch.next < batch.slotCount; ++batch.next)
        dropSlot(batch.slots[batch.next]);
}

// Under the mutex. A slot being read is closed by its thread when done;
// a slot read ahead goes with everything queued or read below it.
void FolderReadAhead::dropSlot(Slot &slot)
{
    switch (slot.state) {
    case Slot::State::Pending:
        m_queue.erase(slot.queued);
        m_queued.store(m_queue.size(), std::memory_order_relaxed);
        break;
    case Slot::State::Ready:
        --m_readyCount;
        m_readyBytes -= slot.result.listing.byteSize();
        if (slot.result.subfolders)
            dropLocked(*slot.result.subfolders);
        if (slot.result.fd >= 0)
            ::close(slot.result.fd);
        slot.result = Opened();
        break;
    case Slot::State::Reading:
    case Slot::State::Dropped:
    case Slot::State::Taken:
        break;
    }
    slot.state = Slot::State::Dropped;
}

bool FolderReadAhead::hasRoom() const
{
    return m_readyCount < m_window && m_readyBytes < m_byteBudget;
}

void FolderReadAhead::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_stopping)
            return;
        if (!m_queue.empty() && hasRoom()) {
            readNext(lock);
            continue;
        }
        if (hasRoom()) {
            lock.unlock();
            const bool more = spinUntil([this] { return m_queued.load(std::memory_order_relaxed) > 0; });
            lock.lock();
            if (more)
                continue;
        }
        ++m_idle;
        m_wake.wait(lock, [this] { return m_stopping || (!m_queue.empty() && hasRoom()); });
        --m_idle;
    }
}

// Reads the first queued folder with the mutex released and queues its own
// subfolders; lock is held again on return.
void FolderReadAhead::readNext(std::unique_lock<std::mutex> &lock)
{
    Slot &slot = **m_queue.begin();
    m_queue.erase(m_queue.begin());
    m_queued.store(m_queue.size(), std::memory_order_relaxed);
    slot.state = Slot::State::Reading;
    const std::shared_ptr<Batch> batch = slot.batch->shared_from_this();
    lock.unlock();
    Opened opened = open(batch->fd, slot.name.c_str(), batch->hiddenFiles);
    opened.position = slot.position;
    opened.subfolders = makeBatch(opened.fd, opened.listing, batch->hiddenFiles, opened.position);
    lock.lock();
    if (slot.state == Slot::State::Dropped) {
        if (opened.fd >= 0)
            ::close(opened.fd);
        return;
    }
    if (opened.subfolders)
        queue(*opened.subfolders);
    m_readyBytes += opened.listing.byteSize();
    ++m_readyCount;
    slot.result = std::move(opened);
    slot.state.store(Slot::State::Ready, std::memory_order_release);
    if (m_waiting > 0)
        m_done.notify_all();
}
