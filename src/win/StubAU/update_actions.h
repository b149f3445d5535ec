// What the agent does after a positive update decision. The check (timer,
// ".INFO" download, decision) calls only these three; each says whether it
// did its work.
//
//   PerformAutoUpdate     asks the user as the ".INFO" file says, closes the
//                         running product, downloads and verifies the UPDATE
//                         file and runs it; true when the new setup ran
//   PerformAutoInform     fetches the INFORM file and shows the announcement
//   ReStartAutoUpdateExe  (transient_agent.h) starts the plain agent again
//                         and ends this copy
#pragma once

namespace kestro {

bool PerformAutoUpdate();
bool PerformAutoInform();

}  // namespace kestro
