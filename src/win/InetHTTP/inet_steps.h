// The blocking calls of one request, each a step for the InetWorker: they
// read and write only the InetCall, and take the reason of a failure on the
// thread that failed (the last error belongs to the worker).
#pragma once

#include "win/InetHTTP/inet_worker.h"

namespace kestro {

// PrimeUrl(call.url).
void PrimeStep(InetCall& call);
// The download's session with its time-outs and the address opened:
// session, file (null on failure, with the reason) and facts.
void OpenStep(InetCall& call);
// The size query: wholeLength of the address asked for its first byte.
void SizeStep(InetCall& call);
// One read of at most call.most bytes (and never more than the buffer):
// ok and got, 0 at the end of the body.
void ReadStep(InetCall& call);

}  // namespace kestro
