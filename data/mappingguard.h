#pragma once

#include <QtGlobal>

// Keeps the program alive when a file it has memory-mapped shrinks on disk
// (a copy tool rewriting it, `truncate`). Touching a mapped page past the new
// end of the file raises SIGBUS; for an address inside a range registered
// here, the handler puts zero pages in place of the whole range and marks it
// lost, and the interrupted read goes on reading zeros. Every pass over
// mapped samples asks `isLost` afterwards and throws its result away.
// SIGBUS at any other address, or sent by another process, gets the
// disposition that was in place before the handler was installed.
//
// A process-wide registry of fixed size; `add` and `remove` may be called
// from any thread, `isLost` too. The handler itself only reads the registry
// and writes atomics.
namespace MappingGuard {

// Registers the mapped bytes [begin, begin + length) (the range must lie
// inside one mapping made by this program) and installs the handler on first
// use. Returns a registration id, or -1 when no slot is free.
int add(const void *begin, qint64 length);
// Forgets a registration; call before unmapping. -1 is ignored.
void remove(int id);
// True once the registered range was found cut short; its bytes read zero.
bool isLost(int id);

} // namespace MappingGuard
