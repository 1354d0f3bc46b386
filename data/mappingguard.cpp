#include "data/mappingguard.h"

#include <QMutex>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Mapped files are 2 GiB and more, so a handful are open at a time.
constexpr int slotCount = 256;

// One registered range. `begin` is written last on registration and cleared
// first on removal, so a handler that sees a non-zero begin also sees its end.
struct Slot
{
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> lost{false};
};

Slot registry[slotCount];
QMutex registryMutex;   // serialises add and remove; the handler never takes it
struct sigaction previousAction;
std::once_flag installed;

static_assert(std::atomic<std::uintptr_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

std::uintptr_t pageSize()
{
    static const std::uintptr_t size = std::uintptr_t(sysconf(_SC_PAGESIZE));
    return size;
}

// Replaces the registered range holding `address` by zero pages. Only system
// calls and atomics: it runs inside the signal handler.
bool replaceLostRange(std::uintptr_t address)
{
    for (Slot &slot : registry) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= slot.end.load(std::memory_order_relaxed))
            continue;
        // The whole range at once: the record is dropped anyway, and one fault
        // is enough to tell every later pass.
        const std::uintptr_t page = pageSize();
        const std::uintptr_t first = begin & ~(page - 1);
        const std::uintptr_t last = (slot.end.load(std::memory_order_relaxed) + page - 1) & ~(page - 1);
        void *zeros = mmap(reinterpret_cast<void *>(first), last - first, PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED)
            return false;
        slot.lost.store(true, std::memory_order_release);
        return true;
    }
    return false;
}

void onBusError(int signal, siginfo_t *info, void *context)
{
    // si_code > 0: raised by the hardware for this thread's own access.
    if (info && info->si_code > 0 && replaceLostRange(reinterpret_cast<std::uintptr_t>(info->si_addr)))
        return;
    if ((previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_sigaction) {
        previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (!(previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_handler != SIG_DFL
        && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // Default or ignored: put that disposition back. A fault repeats when the
    // handler returns and then takes its normal course; a sent signal is sent again.
    sigaction(signal, &previousAction, nullptr);
    if (!info || info->si_code <= 0)
        raise(signal);
}

void install()
{
    struct sigaction action = {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousAction);
}

} // namespace

int MappingGuard::add(const void *begin, qint64 length)
{
    if (!begin || length <= 0)
        return -1;
    std::call_once(installed, install);
    const QMutexLocker locker(&registryMutex);
    for (int id = 0; id < slotCount; ++id) {
        Slot &slot = registry[id];
        if (slot.begin.load(std::memory_order_relaxed) != 0)
            continue;
        const auto address = reinterpret_cast<std::uintptr_t>(begin);
        slot.lost.store(false, std::memory_order_relaxed);
        slot.end.store(address + std::uintptr_t(length), std::memory_order_relaxed);
        slot.begin.store(address, std::memory_order_release);
        return id;
    }
    return -1;
}

void MappingGuard::remove(int id)
{
    if (id < 0 || id >= slotCount)
        return;
    const QMutexLocker locker(&registryMutex);
    registry[id].begin.store(0, std::memory_order_release);
}

bool MappingGuard::isLost(int id)
{
    return id >= 0 && id < slotCount && registry[id].lost.load(std::memory_order_acquire);
}
