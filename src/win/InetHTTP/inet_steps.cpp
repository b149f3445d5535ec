#include "win/InetHTTP/inet_steps.h"

#include <algorithm>

#include "core/InetHTTP/download_rules.h"
#include "win/Utils/utils.h"

namespace kestro {

void PrimeStep(InetCall& call) { PrimeUrl(call.url); }

void OpenStep(InetCall& call) {
  call.session = OpenSession(kDownloadAgentName);
  if (!call.session) return;
  SetDownloadTimeouts(call.session.get());
  call.file = OpenUrl(call.session.get(), call.url);
  if (!call.file) {
    call.reason = InternetErrorReason(GetLastError());
    return;
  }
  call.facts = ReadResponseFacts(call.file.get());
}

void SizeStep(InetCall& call) {
  InternetHandle session = OpenSession(kPrimingAgentName);
  if (!session) return;
  InternetHandle file = OpenUrl(session.get(), call.url, kNoCacheFlags, kFirstByteOnlyHeader);
  if (file) call.wholeLength = WholeLength(file.get());
}

void ReadStep(InetCall& call) {
  call.buffer.resize(ReadPacer::kLargest);
  // Waits until the connection holds something (or ended); what it holds
  // is read at once, a fast connection in the pacer's larger pieces.
  DWORD available = 0;
  call.got = 0;
  call.ok = inet::InternetQueryDataAvailable(call.file.get(), &available, 0, 0);
  const DWORD ask = std::min<DWORD>({call.pacer.Ask(available), call.most, DWORD(call.buffer.size())});
  const std::int64_t start = MilliCounter();
  call.ok = call.ok && inet::InternetReadFile(call.file.get(), call.buffer.data(), ask, &call.got);
  if (!call.ok) {
    call.reason = InternetErrorReason(GetLastError());
    return;
  }
  if (call.got) call.pacer.Took(ask, call.got, MilliCounter() - start);
}

}  // namespace kestro
